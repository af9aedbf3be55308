// house-snapshot's GL calls, tapped: the tool links its scene with every
// GL and GLU call the program makes wrapped (ld --wrap), so that it can
// draw a frame only up to some piece, or record a frame's calls instead of
// drawing them, with the routines that drew each piece. A piece is one
// glBegin ... glEnd group.
#ifndef HOUSE_TRACING_GL_TAP_H
#define HOUSE_TRACING_GL_TAP_H

#include <vector>

namespace tap {

// Every call goes on to GL (the default): a piece limit of -1 draws them
// all; n draws the first n pieces of what follows and drops every call
// from the glBegin of the next on, so that the picture is the frame as it
// stood after piece n.
void drawOnGl(long pieceLimit = -1);

// Every call goes to the record (gl_recorder.h) and none to GL, and each
// piece's running routines are kept (routine_trace.h).
void recordOnly();

// The routines running at each glBegin recorded since recordOnly(),
// outermost first.
const std::vector<std::vector<const void*>>& pieceRoutines();

}  // namespace tap

#endif
