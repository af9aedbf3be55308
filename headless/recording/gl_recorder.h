// A recording stand-in for the GL, GLU and GLUT calls the program makes.
//
// Linked instead of the real libraries, it lets a test run a callback or a
// drawing routine without a window and read back every call it made, with
// its arguments exactly as passed. In counting mode it keeps only how often
// each function was called, so that the program's own code can be timed
// with almost nothing underneath it.
#ifndef HOUSE_RECORDING_GL_RECORDER_H
#define HOUSE_RECORDING_GL_RECORDER_H

#include <string>
#include <vector>

#include "recording/gl_calls.h"

namespace recorder {

// Forgets every call and every count so far.
void clear();
// Counting mode on or off; off, every call is kept.
void countOnly(bool on);
const std::vector<GlCall>& calls();
long count(GlFn fn);
// Every call recorded so far, described.
std::vector<std::string> describeAll();

}  // namespace recorder

#endif
