// Headless GL through EGL on Mesa's surfaceless platform: a desktop GL
// compatibility context (the scene is drawn in immediate mode) made current
// with no surface at all, drawing into a framebuffer object with a colour
// and a depth renderbuffer. Nothing here needs a display server.
#define GL_GLEXT_PROTOTYPES
#include "offscreen/offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint renderbuffers[2] = {0, 0};  // colour, depth
int bufferWidth = 0;
int bufferHeight = 0;

bool fail(char* error, int errorSize, const char* reason) {
    if (error != nullptr && errorSize > 0) {
        std::snprintf(error, static_cast<size_t>(errorSize), "%s", reason);
    }
    closeOffscreen();
    return false;
}

// Any config that can render desktop GL will do, or none where EGL allows
// that: the pixels live in the framebuffer object, not in a surface.
const char* makeContextCurrent() {
    display = eglGetPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
    if (display == EGL_NO_DISPLAY)
        return "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)";
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE)
        return "cannot initialise the surfaceless EGL display";
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) return "EGL does not offer desktop OpenGL";
    const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    eglChooseConfig(display, wanted, &config, 1, &found);
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    context =
        eglCreateContext(display, found > 0 ? config : nullptr, EGL_NO_CONTEXT, compatibility);
    if (context == EGL_NO_CONTEXT) return "cannot create an OpenGL compatibility context";
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE)
        return "cannot make the OpenGL context current without a surface";
    return nullptr;
}

// A buffer must fit both the renderbuffer limit and the viewport limit,
// or reshape could not cover it.
int maxSize() {
    GLint renderbufferLimit = 0;
    GLint viewportLimits[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferLimit);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimits);
    return std::min({renderbufferLimit, viewportLimits[0], viewportLimits[1]});
}

void attachRenderbuffer(GLuint& buffer, GLenum format, GLenum attachment, int width, int height) {
    glGenRenderbuffers(1, &buffer);
    glBindRenderbuffer(GL_RENDERBUFFER, buffer);
    glRenderbufferStorage(GL_RENDERBUFFER, format, width, height);
    glFramebufferRenderbuffer(GL_FRAMEBUFFER, attachment, GL_RENDERBUFFER, buffer);
}

}  // namespace

bool openOffscreen(int width, int height, char* error, int errorSize) {
    closeOffscreen();
    if (const char* reason = makeContextCurrent()) return fail(error, errorSize, reason);
    const int largest = maxSize();
    if (width < 1 || height < 1 || width > largest || height > largest) {
        char reason[128];
        std::snprintf(reason, sizeof reason,
                      "size %dx%d is outside what the renderer accepts (1x1 to %dx%d)", width,
                      height, largest, largest);
        return fail(error, errorSize, reason);
    }
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    attachRenderbuffer(renderbuffers[0], GL_RGBA8, GL_COLOR_ATTACHMENT0, width, height);
    attachRenderbuffer(renderbuffers[1], GL_DEPTH_COMPONENT24, GL_DEPTH_ATTACHMENT, width, height);
    // The context is new, so any error is from the calls just above.
    if (glGetError() == GL_OUT_OF_MEMORY) {
        return fail(error, errorSize, "not enough memory for the colour and depth buffers");
    }
    if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        // Mesa reports a failed allocation of their storage this way.
        return fail(error, errorSize,
                    "the colour and depth buffers are incomplete, most likely for want of memory");
    }
    glDrawBuffer(GL_COLOR_ATTACHMENT0);
    glReadBuffer(GL_COLOR_ATTACHMENT0);
    bufferWidth = width;
    bufferHeight = height;
    return true;
}

// GL hands rows bottom first; images want the top row first.
void readOffscreenRGB(unsigned char* rgb) {
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, bufferWidth, bufferHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    const size_t rowBytes = static_cast<size_t>(bufferWidth) * 3;
    for (int top = 0, bottom = bufferHeight - 1; top < bottom; ++top, --bottom) {
        std::swap_ranges(rgb + rowBytes * top, rgb + rowBytes * (top + 1), rgb + rowBytes * bottom);
    }
}

// Safe to call at any stage of a half-finished open, and more than once.
void closeOffscreen() {
    if (context != EGL_NO_CONTEXT && eglGetCurrentContext() == context) {
        glBindFramebuffer(GL_FRAMEBUFFER, 0);
        glDeleteFramebuffers(1, &framebuffer);  // names of 0 are ignored
        glDeleteRenderbuffers(2, renderbuffers);
    }
    framebuffer = 0;
    renderbuffers[0] = renderbuffers[1] = 0;
    bufferWidth = 0;
    bufferHeight = 0;
    if (display != EGL_NO_DISPLAY) {
        eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, EGL_NO_CONTEXT);
        if (context != EGL_NO_CONTEXT) {
            eglDestroyContext(display, context);
        }
        eglTerminate(display);
        eglReleaseThread();
    }
    context = EGL_NO_CONTEXT;
    display = EGL_NO_DISPLAY;
}
