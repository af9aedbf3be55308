// The record of the GL, GLU and GLUT calls the program makes.
//
// The recording stand-ins (gl_stand_ins.cpp, linked instead of the real
// libraries) add every call here, so that a test can run a callback or a
// drawing routine without a window and read back every call it made, with
// its arguments exactly as passed; house-snapshot's wrappers of the real
// calls add them here while it traces a frame. In counting mode the record
// keeps only how often each function was called, so that the program's own
// code can be timed with almost nothing underneath it.
#ifndef HOUSE_RECORDING_GL_RECORDER_H
#define HOUSE_RECORDING_GL_RECORDER_H

#include <initializer_list>
#include <string>
#include <vector>

#include "recording/gl_calls.h"

namespace recorder {

// One call, with its numeric arguments widened exactly; addText keeps a
// string argument too.
void add(GlFn fn, std::initializer_list<double> args);
void addText(GlFn fn, std::initializer_list<double> args, const char* text);
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
