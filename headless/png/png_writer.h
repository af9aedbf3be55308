// A picture as a PNG: 8-bit RGB, written a row at a time to a stream. The
// snapshot writes its frames with it and the export its part maps.
#ifndef HOUSE_PNG_PNG_WRITER_H
#define HOUSE_PNG_PNG_WRITER_H

#include <cstdio>
#include <string>

// Writes width x height RGB pixels, top row first, to `stream`, which it
// does not flush. On failure returns false with the cause in `reason`: the
// system's reason for a write that failed, or the encoder's failure.
bool writePng(FILE* stream, int width, int height, const unsigned char* rgb, std::string& reason);

#endif
