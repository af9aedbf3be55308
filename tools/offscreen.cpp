// Headless GL through EGL on Mesa's surfaceless platform: a desktop GL
// compatibility context (the scene is drawn in immediate mode) made current
// with no surface at all, drawing into a framebuffer object with a colour
// and a depth renderbuffer. Nothing here needs a display server.
#include "offscreen.h"

#include <EGL/egl.h>
#include <EGL/eglext.h>
#include <GL/gl.h>
#include <GL/glext.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

EGLDisplay display = EGL_NO_DISPLAY;
EGLContext context = EGL_NO_CONTEXT;
GLuint framebuffer = 0;
GLuint colourBuffer = 0;
GLuint depthBuffer = 0;
int bufferWidth = 0;
int bufferHeight = 0;
int maxSize = 0;

// Framebuffer objects are not in the GL 1.x entry points libOpenGL
// exports through gl.h, so they are looked up once the context exists.
PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

bool fail(char* error, int errorSize, const char* reason) {
    if (error != nullptr && errorSize > 0) {
        std::snprintf(error, static_cast<size_t>(errorSize), "%s", reason);
    }
    closeOffscreen();
    return false;
}

bool hasExtension(const char* list, const char* name) {
    if (list == nullptr) {
        return false;
    }
    const size_t length = std::strlen(name);
    for (const char* at = std::strstr(list, name); at != nullptr;
         at = std::strstr(at + length, name)) {
        const bool startsWord = at == list || at[-1] == ' ';
        const bool endsWord = at[length] == ' ' || at[length] == '\0';
        if (startsWord && endsWord) {
            return true;
        }
    }
    return false;
}

template <typename Function>
bool lookUp(Function& function, const char* name) {
    function = reinterpret_cast<Function>(eglGetProcAddress(name));
    return function != nullptr;
}

EGLDisplay surfacelessDisplay() {
    const char* clientExtensions = eglQueryString(EGL_NO_DISPLAY, EGL_EXTENSIONS);
    if (!hasExtension(clientExtensions, "EGL_MESA_platform_surfaceless")) {
        return EGL_NO_DISPLAY;
    }
    PFNEGLGETPLATFORMDISPLAYEXTPROC getPlatformDisplay = nullptr;
    if (!lookUp(getPlatformDisplay, "eglGetPlatformDisplayEXT")) {
        return EGL_NO_DISPLAY;
    }
    return getPlatformDisplay(EGL_PLATFORM_SURFACELESS_MESA, EGL_DEFAULT_DISPLAY, nullptr);
}

// Any config that can render desktop GL will do: the pixels live in the
// framebuffer object, not in a surface of the config's format.
EGLConfig openGLConfig() {
    const EGLint wanted[] = {EGL_RENDERABLE_TYPE, EGL_OPENGL_BIT, EGL_NONE};
    EGLConfig config = nullptr;
    EGLint found = 0;
    if (eglChooseConfig(display, wanted, &config, 1, &found) == EGL_TRUE && found > 0) {
        return config;
    }
    return nullptr;
}

EGLContext compatibilityContext(EGLConfig config) {
    const char* extensions = eglQueryString(display, EGL_EXTENSIONS);
    if (config == nullptr && !hasExtension(extensions, "EGL_KHR_no_config_context")) {
        return EGL_NO_CONTEXT;
    }
    const EGLint compatibility[] = {EGL_CONTEXT_OPENGL_PROFILE_MASK,
                                    EGL_CONTEXT_OPENGL_COMPATIBILITY_PROFILE_BIT, EGL_NONE};
    const EGLint plain[] = {EGL_NONE};
    const bool canAskProfile = hasExtension(extensions, "EGL_KHR_create_context");
    return eglCreateContext(display, config, EGL_NO_CONTEXT,
                            canAskProfile ? compatibility : plain);
}

bool lookUpFramebufferCalls() {
    return lookUp(genFramebuffers, "glGenFramebuffers") &&
           lookUp(deleteFramebuffers, "glDeleteFramebuffers") &&
           lookUp(bindFramebuffer, "glBindFramebuffer") &&
           lookUp(genRenderbuffers, "glGenRenderbuffers") &&
           lookUp(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           lookUp(bindRenderbuffer, "glBindRenderbuffer") &&
           lookUp(renderbufferStorage, "glRenderbufferStorage") &&
           lookUp(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           lookUp(checkFramebufferStatus, "glCheckFramebufferStatus");
}

// A buffer must fit both the renderbuffer limit and the viewport limit,
// or reshape could not cover it.
int queryMaxSize() {
    GLint renderbufferLimit = 0;
    GLint viewportLimits[2] = {0, 0};
    glGetIntegerv(GL_MAX_RENDERBUFFER_SIZE, &renderbufferLimit);
    glGetIntegerv(GL_MAX_VIEWPORT_DIMS, viewportLimits);
    return std::min({renderbufferLimit, viewportLimits[0], viewportLimits[1]});
}

void clearErrors() {
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    }
}

}  // namespace

bool openOffscreen(int width, int height, char* error, int errorSize) {
    closeOffscreen();
    display = surfacelessDisplay();
    if (display == EGL_NO_DISPLAY) {
        return fail(error, errorSize, "EGL has no surfaceless platform (EGL_MESA_platform_surfaceless)");
    }
    if (eglInitialize(display, nullptr, nullptr) != EGL_TRUE) {
        return fail(error, errorSize, "cannot initialise the surfaceless EGL display");
    }
    if (eglBindAPI(EGL_OPENGL_API) != EGL_TRUE) {
        return fail(error, errorSize, "EGL does not offer desktop OpenGL");
    }
    context = compatibilityContext(openGLConfig());
    if (context == EGL_NO_CONTEXT) {
        return fail(error, errorSize, "cannot create an OpenGL compatibility context");
    }
    if (eglMakeCurrent(display, EGL_NO_SURFACE, EGL_NO_SURFACE, context) != EGL_TRUE) {
        return fail(error, errorSize, "cannot make the OpenGL context current without a surface");
    }
    if (!lookUpFramebufferCalls()) {
        return fail(error, errorSize, "the OpenGL context has no framebuffer objects");
    }
    maxSize = queryMaxSize();
    if (width < 1 || height < 1 || width > maxSize || height > maxSize) {
        char reason[128];
        std::snprintf(reason, sizeof reason, "size %dx%d is outside what the renderer accepts (1x1 to %dx%d)", width,
                      height, maxSize, maxSize);
        return fail(error, errorSize, reason);
    }

    clearErrors();
    genFramebuffers(1, &framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    genRenderbuffers(1, &colourBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, colourBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colourBuffer);
    genRenderbuffers(1, &depthBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT24, width, height);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (glGetError() == GL_OUT_OF_MEMORY) {
        return fail(error, errorSize, "not enough memory for the colour and depth buffers");
    }
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
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

int offscreenMaxSize() {
    return maxSize;
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
        if (framebuffer != 0) {
            bindFramebuffer(GL_FRAMEBUFFER, 0);
            deleteFramebuffers(1, &framebuffer);
        }
        if (colourBuffer != 0) {
            deleteRenderbuffers(1, &colourBuffer);
        }
        if (depthBuffer != 0) {
            deleteRenderbuffers(1, &depthBuffer);
        }
    }
    framebuffer = 0;
    colourBuffer = 0;
    depthBuffer = 0;
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
