#include "snapshot/render.h"

#include <utility>

#include "app/frame.h"
#include "offscreen/offscreen.h"
#include "offscreen/windowless.h"
#include "snapshot/supersample.h"
#include "viewer/opengl.h"

bool renderPicture(int width, int height, int supersample, const std::vector<KeyPress>& presses,
                   std::vector<unsigned char>& picture, std::string& error) {
    const int drawnWidth = width * supersample;
    const int drawnHeight = height * supersample;
    std::vector<unsigned char> drawn(static_cast<size_t>(drawnWidth) * static_cast<size_t>(drawnHeight) * 3);
    char reason[256];
    if (!openOffscreen(drawnWidth, drawnHeight, reason, sizeof reason)) {
        error = std::string("cannot draw: ") + reason;
        if (supersample != 1)
            error += " (the size times the supersampling factor " + std::to_string(supersample) + ")";
        return false;
    }
    // As the program's event loop would call them.
    startProgramFrames(drawnWidth, drawnHeight);
    pressKeys(presses);
    display();
    readOffscreenRGB(drawn.data());
    const bool outOfMemory = glGetError() == GL_OUT_OF_MEMORY;
    closeOffscreen();
    if (outOfMemory) {
        error = "out of memory while drawing";
        return false;
    }
    picture = averageBlocks(std::move(drawn), width, height, supersample);
    return true;
}
