// house-snapshot's command line: the picture's size, the supersampling
// factor, the keys to press first and where the picture goes; or, instead
// of the whole picture, the frame only up to one of its pieces, the list of
// its pieces, or one pixel's history.
#ifndef HOUSE_SNAPSHOT_COMMAND_LINE_H
#define HOUSE_SNAPSHOT_COMMAND_LINE_H

#include <string>
#include <vector>

#include "command_line/tool_command_line.h"
#include "keys/key_sequence.h"

const int kDefaultSize = 500;
// Drawing N times as wide and high and averaging N x N blocks smooths the
// edges of small pictures such as icons; 8 is beyond any visible gain.
const int kMostSupersample = 8;

// The output and --help or --version, as every tool has them, and the rest.
struct Options : ToolCommand {
    int width = kDefaultSize;
    int height = kDefaultSize;
    int supersample = 1;
    std::vector<KeyPress> presses;
    long until = -1;         // --until N: draw only the frame's first N pieces; -1 all
    bool steps = false;      // --steps: print the frame's pieces
    bool pixel = false;      // --pixel X,Y: print that pixel's history
    int pixelX = 0, pixelY = 0;
    bool sizeGiven = false, supersampleGiven = false;
};

// What --help prints.
extern const char kUsage[];

// Reads argv[1] on. "--name value" and "--name=value" are both accepted and
// "--" ends the options; --help and --version end the reading. Returns
// false with a one-line message in `error` for anything it cannot take.
bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error);

#endif
