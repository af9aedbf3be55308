// A recording stand-in for the GL, GLU and GLUT calls the program makes.
//
// Linked instead of the real libraries, it lets a test run a callback or a
// drawing routine without a window and read back every call it made, with
// its arguments exactly as passed.
#ifndef HOUSE_TESTS_GL_RECORDER_H
#define HOUSE_TESTS_GL_RECORDER_H

#include <string>
#include <vector>

#include "viewer/opengl.h"

enum class GlFn {
    Begin, End, Vertex3f, Color3f, Rotatef, MatrixMode, LoadIdentity, Viewport,
    Clear, ClearColor, Enable, ColorMaterial, LookAt, Perspective,
    GlutInit, GlutInitDisplayMode, GlutInitWindowSize, GlutInitWindowPosition,
    GlutCreateWindow, GlutSetWindowTitle, GlutReshapeFunc, GlutKeyboardFunc,
    GlutSpecialFunc, GlutDisplayFunc, GlutMainLoop, GlutSwapBuffers,
    GlutPostRedisplay, GlutFullScreen, GlutReshapeWindow,
};

struct GlCall {
    GlFn fn;
    std::vector<double> args;  // every numeric argument, widened exactly
    std::string text;          // the string argument of the title calls
};

namespace recorder {

void clear();
const std::vector<GlCall>& calls();
int count(GlFn fn);
const char* name(GlFn fn);
std::string describe(const GlCall& call);
// Every call recorded so far, described.
std::vector<std::string> describeAll();

// The callbacks most recently registered with GLUT.
struct Callbacks {
    void (*reshape)(int, int);
    void (*keyboard)(unsigned char, int, int);
    void (*special)(int, int, int);
    void (*display)();
};
const Callbacks& callbacks();

}  // namespace recorder

#endif
