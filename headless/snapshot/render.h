// The picture itself: the program's start-up, the keys and one frame drawn
// on the headless GL, read back and, when supersampled, averaged down.
#ifndef HOUSE_SNAPSHOT_RENDER_H
#define HOUSE_SNAPSHOT_RENDER_H

#include <string>
#include <vector>

#include "keys/key_sequence.h"

// The width x height picture (RGB, top row first) of the view the presses
// reach, drawn `supersample` times as wide and high. Returns false with a
// one-line reason in `error` if the GL cannot draw it.
bool renderPicture(int width, int height, int supersample, const std::vector<KeyPress>& presses,
                   std::vector<unsigned char>& picture, std::string& error);

#endif
