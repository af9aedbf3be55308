// The frame as the parts a person would name: the fence runs, the gates,
// the paving and the pieces of the house. Each part is one of the routines
// the frame calls, with the quarter turn the frame makes before it where
// there is one, so that drawing the parts one after the other, in this
// order, makes exactly the calls the frame makes between placing the
// camera and swapping the buffers.
#ifndef HOUSE_EXPORT_SCENE_PARTS_H
#define HOUSE_EXPORT_SCENE_PARTS_H

#include <string>
#include <vector>

#include "call_readers/drawn_groups.h"

struct ScenePart {
    const char* name;
    void (*draw)();
    bool moving;  // a gate: its leaves turn about their hinges
};

// Every part, in the frame's order.
const std::vector<ScenePart>& sceneParts();

struct DrawnPart {
    const ScenePart* part;
    std::vector<DrawnGroup> groups;  // in world space, in the order drawn
};

// Draws every part in turn against the recording stand-in, from a cleared
// record and the modelview turned as the camera leaves it (not at all),
// and reads back each part's groups. The record then holds their calls.
std::vector<DrawnPart> drawParts();

#endif
