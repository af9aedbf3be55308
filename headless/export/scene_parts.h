// The frame as the parts a person would name: the fence runs, the gates,
// the paving and the pieces of the house, in the words a person uses for
// them ("roof", "chimneys", "front fence"). The model's nodes and the part
// map both take their names from here.
//
// A part is what one of the routines the frame calls draws (with the
// quarter turn the frame makes before it where there is one), or, where a
// routine draws things a person names apart in colours of their own, what
// it draws in one colour: the shell's ground, walls and front door, the
// roof's slopes and its chimneys. Drawing the routines one after the other,
// in the frame's order, makes exactly the calls the frame makes between
// placing the camera and swapping the buffers.
#ifndef HOUSE_EXPORT_SCENE_PARTS_H
#define HOUSE_EXPORT_SCENE_PARTS_H

#include <cstddef>
#include <vector>

#include "call_readers/drawn_groups.h"

struct ScenePart {
    const char* name;
    size_t routine;     // which of the frame's routines draws it, counted from 0
    const Rgb* colour;  // only what that routine draws in this colour; null: all of it
    bool moving;        // a gate: its leaves turn about their hinges
};

// Every part: by routine in the frame's order, and within a routine by
// the colour it draws first.
const std::vector<ScenePart>& sceneParts();

struct DrawnPart {
    const ScenePart* part;
    std::vector<DrawnGroup> groups;  // in world space, in the order drawn
    // Where each group comes in the frame's whole sequence of groups.
    std::vector<size_t> drawnAt;
};

// Draws every routine in turn against the recording stand-in, from a
// cleared record and the modelview turned as the camera leaves it (not at
// all), and reads back each part's groups, in the order of sceneParts().
// The record then holds their calls. Throws std::logic_error if a routine
// draws in a colour none of its parts takes.
std::vector<DrawnPart> drawParts();

// Every group of the parts in the order the frame draws them, each with
// the index of its part.
struct PartGroup {
    size_t part;
    DrawnGroup* group;
};
std::vector<PartGroup> inDrawOrder(std::vector<DrawnPart>& parts);

#endif
