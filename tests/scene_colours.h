// The scene's flat colours as an 8-bit picture shows them, written down by
// hand (each channel times 255, which the renderer may round either way):
// a check of the palette that does not read it.
#ifndef HOUSE_TESTS_SCENE_COLOURS_H
#define HOUSE_TESTS_SCENE_COLOURS_H

#include "support/pictures/picture.h"

const Pixel kSky{51, 204, 255};    // clear colour (0.2, 0.8, 1.0)
const Pixel kGround{26, 204, 0};   // (0.1, 0.8, 0)
const Pixel kDoor{128, 0, 0};      // front door and garage-door panel (0.5, 0, 0)
const Pixel kGate{179, 0, 0};      // gate leaves and pickets (0.7, 0, 0)
const Pixel kWall{230, 217, 77};   // (0.9, 0.85, 0.3)

#endif
