// The scene the program shows after some key presses, as a glTF document:
// - a node "house" holding the scene in its units of 10 cm (a scale of 0.1
//   into glTF's metres; +Y up, as in the program), with a node for each
//   part in the frame's order (scene_parts.h), named after it;
// - each fixed part a mesh of every polygon it draws, in world space, cut
//   into triangles as GL cuts them (a fan from the first corner), with one
//   primitive for each colour in its order of first use and the triangles
//   in the order drawn; vertices shared where position and colour agree;
// - each gate leaf a node turned about its hinge, and for each gate an
//   animation that swings its leaves from where the view has them out to
//   fully open, back through shut and on to where they stood;
// - a material for each colour drawn, named after the palette's colour,
//   unlit, its colour converted from sRGB to linear;
// - the program's camera as a node: its eye, looking at the origin with
//   +Y up, its field of view, aspect and clipping planes, in metres.
// Pieces the program lets draw order decide are lifted apart (tied_pieces.h).
#ifndef HOUSE_EXPORT_SCENE_MODEL_H
#define HOUSE_EXPORT_SCENE_MODEL_H

#include <string>
#include <vector>

#include "gltf/gltf_document.h"
#include "keys/key_sequence.h"
#include "viewer/palette.h"

const float kMetresPerUnit = 0.1f;
// How long a gate takes in the animations to swing from shut to fully
// open, or back.
const float kGateSwingSeconds = 2.0f;

// Starts from the program's starting state, presses the keys through its
// own callbacks and writes down the scene they leave. `generator` names
// the program in the document. The scene state is left as the keys leave
// it. Throws std::logic_error if the program draws something the export
// does not know (a colour without a name, a gate that is no upright quad).
GltfDocument sceneDocument(const std::vector<KeyPress>& presses, const std::string& generator);

// The palette's name of a colour ("roof red"); throws std::logic_error for
// a colour it does not hold.
std::string colourName(const Rgb& colour);

// A colour channel as glTF's linear colours give it.
float linearFromSrgb(float channel);

#endif
