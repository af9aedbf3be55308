#include "gl_recorder.h"

#include <cstdio>
#include <initializer_list>

namespace {

std::vector<GlCall> gCalls;
recorder::Callbacks gCallbacks = {nullptr, nullptr, nullptr, nullptr};

void add(GlFn fn, std::initializer_list<double> args, std::string text = std::string()) {
    gCalls.push_back(GlCall{fn, std::vector<double>(args), std::move(text)});
}

}  // namespace

namespace recorder {

void clear() { gCalls.clear(); }

const std::vector<GlCall>& calls() { return gCalls; }

int count(GlFn fn) {
    int n = 0;
    for (const GlCall& call : gCalls) n += call.fn == fn;
    return n;
}

const char* name(GlFn fn) {
    switch (fn) {
    case GlFn::Begin: return "glBegin";
    case GlFn::End: return "glEnd";
    case GlFn::Vertex3f: return "glVertex3f";
    case GlFn::Color3f: return "glColor3f";
    case GlFn::Rotatef: return "glRotatef";
    case GlFn::MatrixMode: return "glMatrixMode";
    case GlFn::LoadIdentity: return "glLoadIdentity";
    case GlFn::Viewport: return "glViewport";
    case GlFn::Clear: return "glClear";
    case GlFn::ClearColor: return "glClearColor";
    case GlFn::Enable: return "glEnable";
    case GlFn::ColorMaterial: return "glColorMaterial";
    case GlFn::LookAt: return "gluLookAt";
    case GlFn::Perspective: return "gluPerspective";
    case GlFn::GlutInit: return "glutInit";
    case GlFn::GlutInitDisplayMode: return "glutInitDisplayMode";
    case GlFn::GlutInitWindowSize: return "glutInitWindowSize";
    case GlFn::GlutInitWindowPosition: return "glutInitWindowPosition";
    case GlFn::GlutCreateWindow: return "glutCreateWindow";
    case GlFn::GlutSetWindowTitle: return "glutSetWindowTitle";
    case GlFn::GlutReshapeFunc: return "glutReshapeFunc";
    case GlFn::GlutKeyboardFunc: return "glutKeyboardFunc";
    case GlFn::GlutSpecialFunc: return "glutSpecialFunc";
    case GlFn::GlutDisplayFunc: return "glutDisplayFunc";
    case GlFn::GlutMainLoop: return "glutMainLoop";
    case GlFn::GlutSwapBuffers: return "glutSwapBuffers";
    case GlFn::GlutPostRedisplay: return "glutPostRedisplay";
    case GlFn::GlutFullScreen: return "glutFullScreen";
    case GlFn::GlutReshapeWindow: return "glutReshapeWindow";
    }
    return "?";
}

std::string describe(const GlCall& call) {
    std::string out = name(call.fn);
    out += '(';
    for (size_t i = 0; i < call.args.size(); ++i) {
        char number[40];
        std::snprintf(number, sizeof number, "%s%.17g", i ? ", " : "", call.args[i]);
        out += number;
    }
    if (!call.text.empty() || call.fn == GlFn::GlutCreateWindow ||
        call.fn == GlFn::GlutSetWindowTitle || call.fn == GlFn::GlutInit) {
        out += call.args.empty() ? "\"" : ", \"";
        out += call.text;
        out += '"';
    }
    out += ')';
    return out;
}

std::vector<std::string> describeAll() {
    std::vector<std::string> lines;
    for (const GlCall& call : gCalls) lines.push_back(describe(call));
    return lines;
}

const Callbacks& callbacks() { return gCallbacks; }

}  // namespace recorder

// The stand-ins. Their declarations come from the real headers, so a
// signature that drifts from the real one fails to compile.

void glBegin(GLenum mode) { add(GlFn::Begin, {double(mode)}); }
void glEnd() { add(GlFn::End, {}); }
void glVertex3f(GLfloat x, GLfloat y, GLfloat z) { add(GlFn::Vertex3f, {x, y, z}); }
void glColor3f(GLfloat r, GLfloat g, GLfloat b) { add(GlFn::Color3f, {r, g, b}); }
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) { add(GlFn::Rotatef, {angle, x, y, z}); }
void glMatrixMode(GLenum mode) { add(GlFn::MatrixMode, {double(mode)}); }
void glLoadIdentity() { add(GlFn::LoadIdentity, {}); }
void glViewport(GLint x, GLint y, GLsizei w, GLsizei h) { add(GlFn::Viewport, {double(x), double(y), double(w), double(h)}); }
void glClear(GLbitfield mask) { add(GlFn::Clear, {double(mask)}); }
void glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) { add(GlFn::ClearColor, {r, g, b, a}); }
void glEnable(GLenum cap) { add(GlFn::Enable, {double(cap)}); }
void glColorMaterial(GLenum face, GLenum mode) { add(GlFn::ColorMaterial, {double(face), double(mode)}); }

void gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
               GLdouble ux, GLdouble uy, GLdouble uz) {
    add(GlFn::LookAt, {ex, ey, ez, cx, cy, cz, ux, uy, uz});
}
void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    add(GlFn::Perspective, {fovy, aspect, zNear, zFar});
}

void glutInit(int* pargc, char** argv) {
    const bool hasName = *pargc > 0 && argv != nullptr && argv[0] != nullptr;
    add(GlFn::GlutInit, {double(*pargc)}, hasName ? argv[0] : "<none>");
}
void glutInitDisplayMode(unsigned int mode) { add(GlFn::GlutInitDisplayMode, {double(mode)}); }
void glutInitWindowSize(int w, int h) { add(GlFn::GlutInitWindowSize, {double(w), double(h)}); }
void glutInitWindowPosition(int x, int y) { add(GlFn::GlutInitWindowPosition, {double(x), double(y)}); }
int glutCreateWindow(const char* title) {
    add(GlFn::GlutCreateWindow, {}, title ? title : "<null>");
    return 1;
}
void glutSetWindowTitle(const char* title) { add(GlFn::GlutSetWindowTitle, {}, title ? title : "<null>"); }
void glutReshapeFunc(void (*callback)(int, int)) {
    gCallbacks.reshape = callback;
    add(GlFn::GlutReshapeFunc, {});
}
void glutKeyboardFunc(void (*callback)(unsigned char, int, int)) {
    gCallbacks.keyboard = callback;
    add(GlFn::GlutKeyboardFunc, {});
}
void glutSpecialFunc(void (*callback)(int, int, int)) {
    gCallbacks.special = callback;
    add(GlFn::GlutSpecialFunc, {});
}
void glutDisplayFunc(void (*callback)()) {
    gCallbacks.display = callback;
    add(GlFn::GlutDisplayFunc, {});
}
void glutSwapBuffers() { add(GlFn::GlutSwapBuffers, {}); }
void glutPostRedisplay() { add(GlFn::GlutPostRedisplay, {}); }
void glutFullScreen() { add(GlFn::GlutFullScreen, {}); }
void glutReshapeWindow(int w, int h) { add(GlFn::GlutReshapeWindow, {double(w), double(h)}); }

// Stands in for the event loop of a program started without a window: it
// plays the first events a real GLUT delivers (a reshape to the window's size,
// then a frame), prints every call made so far, one per line, and returns.
void glutMainLoop() {
    add(GlFn::GlutMainLoop, {});
    if (gCallbacks.reshape) gCallbacks.reshape(500, 500);
    if (gCallbacks.display) gCallbacks.display();
    for (const GlCall& call : gCalls) std::printf("%s\n", recorder::describe(call).c_str());
    std::fflush(stdout);
}
