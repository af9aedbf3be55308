#include "gl_frames.h"

#include <EGL/egl.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include "app/frame.h"
#include "offscreen.h"
#include "viewer/opengl.h"
#include "viewer/scene_state.h"

namespace {

// Lets llvmpipe compile its shaders and settle its threads before timing.
const int kWarmUpFrames = 10;

// Buffer objects are past GL 1.1, so they are looked up in the context.
PFNGLGENBUFFERSPROC genBuffers = nullptr;
PFNGLBINDBUFFERPROC bindBuffer = nullptr;
PFNGLBUFFERDATAPROC bufferData = nullptr;
PFNGLDELETEBUFFERSPROC deleteBuffers = nullptr;

template <typename Function>
bool lookUp(Function& function, const char* name) {
    function = reinterpret_cast<Function>(eglGetProcAddress(name));
    return function != nullptr;
}

bool lookUpBufferCalls() {
    return lookUp(genBuffers, "glGenBuffers") && lookUp(bindBuffer, "glBindBuffer") &&
           lookUp(bufferData, "glBufferData") && lookUp(deleteBuffers, "glDeleteBuffers");
}

// With a buffer bound, the array pointers are offsets into it.
const void* bufferOffset(size_t bytes) {
    return reinterpret_cast<const void*>(bytes);
}

// (b): what every frame pays before it draws anything.
void drawFloor() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glutSwapBuffers();
}

// (c): the frame a retained renderer would send: the same clear, camera
// and finish around one draw of the whole scene from a buffer on the GL side.
void drawReference(GLuint buffer, GLsizei vertexCount) {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(scene.eyeX, scene.eyeY, scene.eyeZ, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
    bindBuffer(GL_ARRAY_BUFFER, buffer);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    const GLsizei stride = sizeof(TriangleVertex);
    glVertexPointer(3, GL_FLOAT, stride, bufferOffset(offsetof(TriangleVertex, x)));
    glColorPointer(3, GL_FLOAT, stride, bufferOffset(offsetof(TriangleVertex, red)));
    glDrawArrays(GL_TRIANGLES, 0, vertexCount);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);
    bindBuffer(GL_ARRAY_BUFFER, 0);
    glutSwapBuffers();
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

template <typename Frame>
double timeMs(Frame frame) {
    const auto start = std::chrono::steady_clock::now();
    frame();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

bool writePpm(const std::string& path, int width, int height,
              const std::vector<unsigned char>& rgb) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6\n%d %d\n255\n", width, height);
    const bool ok = std::fwrite(rgb.data(), 1, rgb.size(), file) == rgb.size();
    return std::fclose(file) == 0 && ok;
}

const char* glText(GLenum name) {
    const GLubyte* text = glGetString(name);
    return text != nullptr ? reinterpret_cast<const char*>(text) : "?";
}

void comparePictures(SizeFigures& figures, GLuint buffer, GLsizei vertexCount,
                     const std::string& imageDirectory) {
    const size_t bytes = static_cast<size_t>(figures.width) * figures.height * 3;
    std::vector<unsigned char> sky(bytes), program(bytes), reference(bytes);
    drawFloor();
    readOffscreenRGB(sky.data());
    display();
    readOffscreenRGB(program.data());
    drawReference(buffer, vertexCount);
    readOffscreenRGB(reference.data());

    figures.pixels = static_cast<long>(figures.width) * figures.height;
    for (size_t p = 0; p < bytes; p += 3) {
        int largestStep = 0;
        bool drawn = false;
        for (size_t c = p; c < p + 3; ++c) {
            largestStep = std::max(largestStep, std::abs(program[c] - reference[c]));
            drawn = drawn || program[c] != sky[c];
        }
        figures.differingPixels += largestStep > 0;
        figures.otherSurfacePixels += largestStep > 1;
        figures.scenePixels += drawn;
    }
    if (!imageDirectory.empty()) {
        const std::string size =
            std::to_string(figures.width) + "x" + std::to_string(figures.height);
        figures.imagesWritten =
            writePpm(imageDirectory + "/program-" + size + ".ppm", figures.width, figures.height,
                     program) &&
            writePpm(imageDirectory + "/reference-" + size + ".ppm", figures.width,
                     figures.height, reference);
    }
}

}  // namespace

SizeFigures measureSize(int width, int height, int frames,
                        const std::vector<TriangleVertex>& triangles,
                        const std::string& imageDirectory) {
    SizeFigures figures;
    figures.width = width;
    figures.height = height;
    char error[256] = "";
    if (!openOffscreen(width, height, error, sizeof error)) {
        figures.error = error;
        return figures;
    }
    if (!lookUpBufferCalls()) {
        figures.error = "the GL context has no buffer objects";
        closeOffscreen();
        return figures;
    }
    figures.renderer = glText(GL_RENDERER);
    figures.version = glText(GL_VERSION);
    startProgramFrames(width, height);

    GLuint buffer = 0;
    genBuffers(1, &buffer);
    bindBuffer(GL_ARRAY_BUFFER, buffer);
    bufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(triangles.size() * sizeof(TriangleVertex)),
               triangles.data(), GL_STATIC_DRAW);
    bindBuffer(GL_ARRAY_BUFFER, 0);
    const GLsizei vertexCount = static_cast<GLsizei>(triangles.size());

    for (int i = 0; i < kWarmUpFrames; ++i) {
        display();
        drawFloor();
        drawReference(buffer, vertexCount);
    }
    comparePictures(figures, buffer, vertexCount, imageDirectory);

    // The three kinds take turns frame by frame, so a slow spell of the
    // machine falls on all of them alike and the ratios stay fair.
    std::vector<double> program, floor, reference;
    for (int i = 0; i < frames; ++i) {
        program.push_back(timeMs(display));
        floor.push_back(timeMs(drawFloor));
        reference.push_back(timeMs([&] { drawReference(buffer, vertexCount); }));
    }
    figures.programMs = median(program);
    figures.floorMs = median(floor);
    figures.referenceMs = median(reference);
    figures.programMinMs = *std::min_element(program.begin(), program.end());

    const GLenum glError = glGetError();
    deleteBuffers(1, &buffer);
    closeOffscreen();
    if (glError != GL_NO_ERROR) {
        char text[64];
        std::snprintf(text, sizeof text, "GL error 0x%04x during the frames", glError);
        figures.error = text;
        return figures;
    }
    figures.ok = true;
    return figures;
}
