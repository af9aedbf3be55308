// The recording stand-ins for GL, GLU and GLUT: linked instead of the real
// libraries, they add every call the program makes to the record.
#include <cstdio>

#include "recording/gl_recorder.h"
#include "viewer/window.h"

using recorder::add;
using recorder::addText;

namespace {

// The callbacks the probe's event loop plays, as last registered.
void (*gReshape)(int, int) = nullptr;
void (*gDisplay)() = nullptr;

}  // namespace

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
    addText(GlFn::GlutInit, {double(*pargc)}, hasName ? argv[0] : "<none>");
}
void glutInitDisplayMode(unsigned int mode) { add(GlFn::GlutInitDisplayMode, {double(mode)}); }
void glutInitWindowSize(int w, int h) { add(GlFn::GlutInitWindowSize, {double(w), double(h)}); }
void glutInitWindowPosition(int x, int y) { add(GlFn::GlutInitWindowPosition, {double(x), double(y)}); }
int glutCreateWindow(const char* title) {
    addText(GlFn::GlutCreateWindow, {}, title ? title : "<null>");
    return 1;
}
void glutSetWindowTitle(const char* title) {
    addText(GlFn::GlutSetWindowTitle, {}, title ? title : "<null>");
}
void glutReshapeFunc(void (*callback)(int, int)) {
    gReshape = callback;
    add(GlFn::GlutReshapeFunc, {});
}
void glutKeyboardFunc(void (*)(unsigned char, int, int)) { add(GlFn::GlutKeyboardFunc, {}); }
void glutSpecialFunc(void (*)(int, int, int)) { add(GlFn::GlutSpecialFunc, {}); }
void glutDisplayFunc(void (*callback)()) {
    gDisplay = callback;
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
    if (gReshape) gReshape(kWindowWidth, kWindowHeight);
    if (gDisplay) gDisplay();
    for (const GlCall& call : recorder::calls()) std::printf("%s\n", recorder::describe(call).c_str());
    std::fflush(stdout);
}
