// One GL, GLU or GLUT call with its arguments exactly as passed, and its
// one-line text form: what the probe prints, what tests compare, and what
// the benchmark reads back. Plain data: the readers take calls in this form
// whether they were recorded in this process or read back from a listing.
#ifndef HOUSE_RECORDING_GL_CALLS_H
#define HOUSE_RECORDING_GL_CALLS_H

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
    Count  // not a call: the number of them
};

struct GlCall {
    GlFn fn;
    std::vector<double> args;  // every numeric argument, widened exactly
    std::string text;          // the string argument of the title calls
};

namespace recorder {

const char* name(GlFn fn);

// "glVertex3f(-53, 2, -119)": numbers in full precision, so that reading
// one back gives the very same value.
std::string describe(const GlCall& call);

// Reads a line `describe` wrote back into the call's function and numbers
// (a string argument is not kept). False if it names no known call.
bool parse(const std::string& line, GlCall& call);

}  // namespace recorder

#endif
