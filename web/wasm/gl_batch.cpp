// The fixed-function GL and GLU calls the scene makes, on WebGL. Drawn one
// by one, the program's ~3,500 glBegin/glEnd groups would each be a trip to
// the browser's GPU process; instead every vertex is taken through the
// current modelview and projection as it arrives, its group is cut into
// triangles, and the frame goes out as one draw at glutSwapBuffers. One draw
// rasterises its triangles in order, so where pieces in one plane overlap
// the piece sent first still keeps the pixels, as the less-than depth test
// decides. The arithmetic, a desktop GL's, is in batch_geometry.h. The two
// GLUT calls here: glutSwapBuffers sends the frame, glutSetWindowTitle
// titles the page.
//
// The context is the one the page made (web/page/picture_context.js), on
// the page's thread or, standing in for it, a recording sent to a worker;
// the page compiled the one shader program on it while the program was
// arriving (web/page/context_setup.js), and the layer takes it at its first
// frame. Nothing here asks the GL a question that would wait for it.
//
// While the browser has taken the WebGL context away, frames are built as
// usual, so the program's state moves on, but nothing goes to the GL; once
// it is back, restoreGraphics takes the shader program and makes the
// buffers again and sets again the state the program set. docs/web.md
// tells the whole story.
//
// For "How it's drawn" the page may ask for the frame only up to one of its
// pieces (a glBegin/glEnd group, counted from 1 as the program draws them),
// that piece outlined over the picture: showSteps. The program's frames
// are built as ever and the pieces after that one left out, so the picture
// is the first pieces exactly as the whole frame draws them, and it comes
// back as it was after a lost context, like any frame.
#define GL_GLEXT_PROTOTYPES
#include <GL/glut.h>
#include <emscripten.h>
#include <webgl/webgl1.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "wasm/batch_geometry.h"

namespace {

// A vertex as the GPU gets it: already in clip space, its colour as the
// 8-bit steps the framebuffer stores anyway.
struct Vertex {
    float clip[4];
    uint8_t colour[4];
};
const float kColourSteps = 255.0f;

// Triangles index the frame's vertices in 16 bits, so a frame goes out in
// more than one draw only past this many vertices.
const size_t kMostVerticesPerDraw = 65536;

// Where context_setup.js binds the shader program's attributes.
const GLuint kClipAttribute = 0;
const GLuint kColourAttribute = 1;

Matrix gModelview = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Matrix gProjection = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
Matrix gCombined = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
bool gCombinedStale = false;
float* gCurrent = gModelview;

uint8_t gColour[4] = {255, 255, 255, 255};  // GL's starting colour

// The outline round the newest piece shown: a light line with a dark one
// on either side, each this many pixels wide (the page's device pixels to
// a CSS pixel), so that it shows against any colour.
const uint8_t kOutlineLight[4] = {255, 255, 255, 255};
const uint8_t kOutlineDark[4] = {0, 0, 0, 255};
const int kOutlineLines = 3;

// Every piece, or only the frame's first gShownStep.
const int kWholeFrame = -1;
int gShownStep = kWholeFrame;
int gOutlinePixels = 1;
int gPiecesSoFar = 0;             // in the frame being built
Primitive gOutlinedPrimitive = Primitive::Other;
std::vector<Vertex> gOutlined;    // the newest piece shown, transformed
std::vector<int> gEdges;          // its edges, two vertex indices each

GLenum gGroupMode = 0;
std::vector<Vertex> gGroup;      // the open group's vertices, transformed
std::vector<Vertex> gVertices;   // the frame's vertices so far
std::vector<uint16_t> gIndices;  // its triangles, three indices each
std::vector<int> gCorners;       // the open group's triangles, within it

GLuint gProgram = 0;
GLuint gVertexBuffer = 0;
GLuint gIndexBuffer = 0;

// The GL state the program set, as GL starts it unless it was set.
struct ProgramGlState {
    bool depthTest = false;
    GLfloat clearColour[4] = {0, 0, 0, 0};
    bool viewportSet = false;
    GLint viewport[4] = {0, 0, 0, 0};
};
ProgramGlState gSet;

bool contextLost() {
    return EM_ASM_INT({ return GLctx.isContextLost() ? 1 : 0; }) != 0;
}

// Where the browser links on threads of its own, false until the link is
// done: glUseProgram on a program still linking would wait for it.
bool programReady() {
    return EM_ASM_INT({ return Module.graphics.batchProgramReady() ? 1 : 0; }) != 0;
}

// The page's shader program, named in emscripten's table of programs.
void prepareProgram() {
    gProgram = static_cast<GLuint>(EM_ASM_INT({
        var name = GL.getNewId(GL.programs);
        GL.programs[name] = Module.graphics.batchProgram();
        return name;
    }));
    glGenBuffers(1, &gVertexBuffer);
    glGenBuffers(1, &gIndexBuffer);
}

// `mode`: the frame's triangles, or the outline's lines.
void drawBatch(GLenum mode) {
    // Nothing may be made on a lost context: the objects' constructors
    // return null there.
    if (!gIndices.empty() && !contextLost()) {
        if (gProgram == 0) prepareProgram();
        glUseProgram(gProgram);
        glBindBuffer(GL_ARRAY_BUFFER, gVertexBuffer);
        glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(gVertices.size() * sizeof(Vertex)),
                     gVertices.data(), GL_STREAM_DRAW);
        glBindBuffer(GL_ELEMENT_ARRAY_BUFFER, gIndexBuffer);
        glBufferData(GL_ELEMENT_ARRAY_BUFFER,
                     static_cast<GLsizeiptr>(gIndices.size() * sizeof(uint16_t)), gIndices.data(),
                     GL_STREAM_DRAW);
        glEnableVertexAttribArray(kClipAttribute);
        glEnableVertexAttribArray(kColourAttribute);
        glVertexAttribPointer(kClipAttribute, 4, GL_FLOAT, GL_FALSE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, clip)));
        glVertexAttribPointer(kColourAttribute, 4, GL_UNSIGNED_BYTE, GL_TRUE, sizeof(Vertex),
                              reinterpret_cast<const void*>(offsetof(Vertex, colour)));
        glDrawElements(mode, static_cast<GLsizei>(gIndices.size()), GL_UNSIGNED_SHORT,
                       nullptr);
    }
    // Also when every triangle was left out, as when the eye has zoomed out
    // past the far plane: the next batch starts from index 0.
    gVertices.clear();
    gIndices.clear();
}

// Moves the closed group's vertices into the batch; its triangles then
// index them from `first` on.
size_t takeGroup() {
    if (gVertices.size() + gGroup.size() > kMostVerticesPerDraw) drawBatch(GL_TRIANGLES);
    const size_t first = gVertices.size();
    gVertices.insert(gVertices.end(), gGroup.begin(), gGroup.end());
    return first;
}

void addTriangle(size_t first, int a, int b, int c) {
    // A triangle wholly beyond one plane covers no pixel; leaving it out
    // spares the software rasteriser its setup.
    if (whollyOutside(gVertices[first + a].clip, gVertices[first + b].clip,
                      gVertices[first + c].clip)) {
        return;
    }
    gIndices.push_back(static_cast<uint16_t>(first + a));
    gIndices.push_back(static_cast<uint16_t>(first + b));
    gIndices.push_back(static_cast<uint16_t>(first + c));
}

// The newest piece shown, outlined over the picture whatever lies in front
// of it: drawn without the depth test, which also leaves the depth buffer
// as the pieces left it. The dark lines first, the light ones over them.
void drawOutline() {
    if (gOutlined.empty() || !gSet.viewportSet) return;
    outlineEdges(gOutlinedPrimitive, static_cast<int>(gOutlined.size()), gEdges);
    const float width = static_cast<float>(gSet.viewport[2]);
    const float height = static_cast<float>(gSet.viewport[3]);
    const int lines = kOutlineLines * gOutlinePixels;
    emscripten_glDisable(GL_DEPTH_TEST);
    for (const bool light : {false, true}) {
        for (int line = 0; line < lines; ++line) {
            if ((line / gOutlinePixels == kOutlineLines / 2) != light) continue;
            const float pixels = static_cast<float>(line - lines / 2);
            for (size_t e = 0; e + 1 < gEdges.size(); e += 2) {
                if (gVertices.size() + 2 > kMostVerticesPerDraw) drawBatch(GL_LINES);
                Vertex ends[2];
                movedAcross(gOutlined[gEdges[e]].clip, gOutlined[gEdges[e + 1]].clip, pixels, width, height,
                            ends[0].clip, ends[1].clip);
                for (Vertex& end : ends) {
                    for (int i = 0; i < 4; ++i) end.colour[i] = light ? kOutlineLight[i] : kOutlineDark[i];
                    gIndices.push_back(static_cast<uint16_t>(gVertices.size()));
                    gVertices.push_back(end);
                }
            }
        }
    }
    drawBatch(GL_LINES);
    if (gSet.depthTest) emscripten_glEnable(GL_DEPTH_TEST);
}

// The next frame is built from its first piece.
void endFrame() {
    gVertices.clear();
    gIndices.clear();
    gPiecesSoFar = 0;
    gOutlined.clear();
}

uint8_t colourStep(float intensity) {
    const float clamped = intensity < 0.0f ? 0.0f : (intensity > 1.0f ? 1.0f : intensity);
    return static_cast<uint8_t>(std::lround(clamped * kColourSteps));
}

}  // namespace

void glEnable(GLenum capability) {
    if (capability == GL_DEPTH_TEST) gSet.depthTest = true;
    emscripten_glEnable(capability);
}

void glDisable(GLenum capability) {
    if (capability == GL_DEPTH_TEST) gSet.depthTest = false;
    emscripten_glDisable(capability);
}

void glClearColor(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha) {
    const GLfloat colour[4] = {red, green, blue, alpha};
    for (int i = 0; i < 4; ++i) gSet.clearColour[i] = colour[i];
    emscripten_glClearColor(red, green, blue, alpha);
}

void glViewport(GLint x, GLint y, GLsizei width, GLsizei height) {
    const GLint viewport[4] = {x, y, width, height};
    for (int i = 0; i < 4; ++i) gSet.viewport[i] = viewport[i];
    gSet.viewportSet = true;
    emscripten_glViewport(x, y, width, height);
}

void glMatrixMode(GLenum mode) {
    gCurrent = mode == GL_PROJECTION ? gProjection : gModelview;
}

void glLoadIdentity() {
    setIdentity(gCurrent);
    gCombinedStale = true;
}

void glRotatef(GLfloat degrees, GLfloat x, GLfloat y, GLfloat z) {
    rotate(gCurrent, degrees, x, y, z);
    gCombinedStale = true;
}

void gluPerspective(GLdouble fieldOfViewDegrees, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    perspective(gCurrent, fieldOfViewDegrees, aspect, zNear, zFar);
    gCombinedStale = true;
}

void gluLookAt(GLdouble eyeX, GLdouble eyeY, GLdouble eyeZ, GLdouble centreX, GLdouble centreY,
               GLdouble centreZ, GLdouble upX, GLdouble upY, GLdouble upZ) {
    lookAt(gCurrent, eyeX, eyeY, eyeZ, centreX, centreY, centreZ, upX, upY, upZ);
    gCombinedStale = true;
}

// There is no lighting, so the colour-material mode changes no pixel.
void glColorMaterial(GLenum, GLenum) {}

void glColor3f(GLfloat red, GLfloat green, GLfloat blue) {
    gColour[0] = colourStep(red);
    gColour[1] = colourStep(green);
    gColour[2] = colourStep(blue);
}

void glBegin(GLenum mode) {
    gGroupMode = mode;
    gGroup.clear();
    if (gCombinedStale) {
        multiply(gProjection, gModelview, gCombined);
        gCombinedStale = false;
    }
}

void glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (gGroup.size() == kMostVerticesPerDraw) return;
    Vertex vertex;
    toClipSpace(gCombined, x, y, z, vertex.clip);
    for (int i = 0; i < 4; ++i) vertex.colour[i] = gColour[i];
    gGroup.push_back(vertex);
}

void glEnd() {
    const Primitive primitive = gGroupMode == GL_TRIANGLES ? Primitive::Triangles
                                : gGroupMode == GL_QUADS   ? Primitive::Quads
                                : gGroupMode == GL_POLYGON ? Primitive::Polygon
                                                           : Primitive::Other;
    // Past the step shown the pieces are left out; the step's own is kept
    // for its outline too.
    ++gPiecesSoFar;
    if (gShownStep != kWholeFrame && gPiecesSoFar > gShownStep) return;
    if (gPiecesSoFar == gShownStep) {
        gOutlined = gGroup;
        gOutlinedPrimitive = primitive;
    }
    triangleCorners(primitive, static_cast<int>(gGroup.size()), gCorners);
    const size_t first = takeGroup();
    for (size_t t = 0; t + 2 < gCorners.size(); t += 3)
        addTriangle(first, gCorners[t], gCorners[t + 1], gCorners[t + 2]);
}

// A frame built while the context is lost is not drawn and not counted;
// nor is one built while the shader program is still linking, which is
// built again at the next animation frame.
void glutSwapBuffers() {
    const bool lost = contextLost();
    if (!lost) {
        if (gProgram == 0) prepareProgram();
        if (!programReady()) {
            endFrame();
            glutPostRedisplay();
            return;
        }
    }
    drawBatch(GL_TRIANGLES);
    if (!lost) drawOutline();
    endFrame();
    if (lost) return;
    // Where a worker draws, the frame is on the screen once it says so.
    EM_ASM({ Module.graphics.frameSent(); });
}

void glutSetWindowTitle(const char* title) {
    emscripten_set_window_title(title);
}

// Called by the page once the browser has given the context back: the
// shader program and buffers belong to the lost context (using them would
// be an error); the page's program on the new context and new buffers are
// taken for the next frame, and the state the program set is set again.
extern "C" EMSCRIPTEN_KEEPALIVE void restoreGraphics() {
    // Emscripten's tables keep the lost objects alive until their names are dropped.
    EM_ASM({
        GL.programs[$0] = null;
        GL.buffers[$1] = null;
        GL.buffers[$2] = null;
    }, gProgram, gVertexBuffer, gIndexBuffer);
    gProgram = gVertexBuffer = gIndexBuffer = 0;
    if (gSet.depthTest) emscripten_glEnable(GL_DEPTH_TEST);
    emscripten_glClearColor(gSet.clearColour[0], gSet.clearColour[1], gSet.clearColour[2],
                            gSet.clearColour[3]);
    if (gSet.viewportSet)
        emscripten_glViewport(gSet.viewport[0], gSet.viewport[1], gSet.viewport[2], gSet.viewport[3]);
}

// From the next frame on, the frame only up to its piece `step` (0: the
// cleared sky alone), that piece outlined `outlinePixels` pixels a line;
// kWholeFrame every piece again, as the program draws it.
extern "C" EMSCRIPTEN_KEEPALIVE void showSteps(int step, int outlinePixels) {
    gShownStep = step < 0 ? kWholeFrame : step;
    gOutlinePixels = outlinePixels < 1 ? 1 : outlinePixels;
}
