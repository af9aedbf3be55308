// house-snapshot's --steps and --pixel: the frame the program draws, piece
// by piece, with the routines that drew each piece, recorded as the
// program runs (tracing/), and one pixel's history (export/pixel_history.h)
// told with those routines.
#ifndef HOUSE_SNAPSHOT_FRAME_STEPS_H
#define HOUSE_SNAPSHOT_FRAME_STEPS_H

#include <string>
#include <vector>

#include "keys/key_sequence.h"

// The frame after the keys, one line a piece, in drawing order:
// "   17  quads      4  #ffffff  right fence  display > drawGrounds > ...
// > drawPost > drawFaces  drawPost in src/grounds/fence.cpp". Fields are
// apart by at least two spaces; the last names the piece's own routine,
// the innermost that is not the shared face emitter, and its file.
std::vector<std::string> stepLines(const std::vector<KeyPress>& presses);

// How many pieces the frame after the keys has.
long framePieceCount(const std::vector<KeyPress>& presses);

// The history of pixel (x, y) of the width x height picture after the
// keys, one line a piece: "  412  walk gate  drawWalkGate
// src/grounds/front_fence.cpp  #b30000  depth 0.989754  kept", or "hidden
// by 3395" for a piece the depth test kept out. Empty where no piece
// covers the pixel and the picture shows the sky.
std::vector<std::string> historyLines(const std::vector<KeyPress>& presses, int width, int height, int x,
                                      int y);

#endif
