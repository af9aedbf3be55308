#include "tracing/gl_tap.h"

#include "recording/gl_recorder.h"
#include "tracing/routine_trace.h"

namespace {

bool gRecording = false;
long gPieceLimit = -1;
long gPiecesBegun = 0;
std::vector<std::vector<const void*>> gPieceRoutines;

// Records the call or counts it against the limit; whether GL gets it.
bool passOn(GlFn fn, std::initializer_list<double> args) {
    if (gRecording) {
        if (fn == GlFn::Begin) gPieceRoutines.push_back(runningRoutines());
        recorder::add(fn, args);
        return false;
    }
    if (gPieceLimit < 0) return true;
    if (fn == GlFn::Begin) ++gPiecesBegun;
    return gPiecesBegun <= gPieceLimit;
}

}  // namespace

namespace tap {

void drawOnGl(long pieceLimit) {
    gRecording = false;
    gPieceLimit = pieceLimit;
    gPiecesBegun = 0;
}

void recordOnly() {
    gRecording = true;
    gPieceRoutines.clear();
}

const std::vector<std::vector<const void*>>& pieceRoutines() { return gPieceRoutines; }

}  // namespace tap

// The real calls, as the linker names them under --wrap, and the wrappers
// the program's calls reach instead. Declared with the real headers' types.
extern "C" {

void __real_glBegin(GLenum mode);
void __real_glEnd();
void __real_glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void __real_glColor3f(GLfloat r, GLfloat g, GLfloat b);
void __real_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);
void __real_glMatrixMode(GLenum mode);
void __real_glLoadIdentity();
void __real_glViewport(GLint x, GLint y, GLsizei w, GLsizei h);
void __real_glClear(GLbitfield mask);
void __real_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a);
void __real_glEnable(GLenum cap);
void __real_glColorMaterial(GLenum face, GLenum mode);
void __real_gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                      GLdouble ux, GLdouble uy, GLdouble uz);
void __real_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);

void __wrap_glBegin(GLenum mode) {
    if (passOn(GlFn::Begin, {double(mode)})) __real_glBegin(mode);
}
void __wrap_glEnd() {
    if (passOn(GlFn::End, {})) __real_glEnd();
}
void __wrap_glVertex3f(GLfloat x, GLfloat y, GLfloat z) {
    if (passOn(GlFn::Vertex3f, {x, y, z})) __real_glVertex3f(x, y, z);
}
void __wrap_glColor3f(GLfloat r, GLfloat g, GLfloat b) {
    if (passOn(GlFn::Color3f, {r, g, b})) __real_glColor3f(r, g, b);
}
void __wrap_glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z) {
    if (passOn(GlFn::Rotatef, {angle, x, y, z})) __real_glRotatef(angle, x, y, z);
}
void __wrap_glMatrixMode(GLenum mode) {
    if (passOn(GlFn::MatrixMode, {double(mode)})) __real_glMatrixMode(mode);
}
void __wrap_glLoadIdentity() {
    if (passOn(GlFn::LoadIdentity, {})) __real_glLoadIdentity();
}
void __wrap_glViewport(GLint x, GLint y, GLsizei w, GLsizei h) {
    if (passOn(GlFn::Viewport, {double(x), double(y), double(w), double(h)})) __real_glViewport(x, y, w, h);
}
void __wrap_glClear(GLbitfield mask) {
    if (passOn(GlFn::Clear, {double(mask)})) __real_glClear(mask);
}
void __wrap_glClearColor(GLclampf r, GLclampf g, GLclampf b, GLclampf a) {
    if (passOn(GlFn::ClearColor, {r, g, b, a})) __real_glClearColor(r, g, b, a);
}
void __wrap_glEnable(GLenum cap) {
    if (passOn(GlFn::Enable, {double(cap)})) __real_glEnable(cap);
}
void __wrap_glColorMaterial(GLenum face, GLenum mode) {
    if (passOn(GlFn::ColorMaterial, {double(face), double(mode)})) __real_glColorMaterial(face, mode);
}
void __wrap_gluLookAt(GLdouble ex, GLdouble ey, GLdouble ez, GLdouble cx, GLdouble cy, GLdouble cz,
                      GLdouble ux, GLdouble uy, GLdouble uz) {
    if (passOn(GlFn::LookAt, {ex, ey, ez, cx, cy, cz, ux, uy, uz}))
        __real_gluLookAt(ex, ey, ez, cx, cy, cz, ux, uy, uz);
}
void __wrap_gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar) {
    if (passOn(GlFn::Perspective, {fovy, aspect, zNear, zFar})) __real_gluPerspective(fovy, aspect, zNear, zFar);
}

}
