// The JSON of a binary glTF file: the document, reading its numbers
// through the accessors its binary chunk's layout gave them.
#ifndef HOUSE_GLTF_GLTF_JSON_H
#define HOUSE_GLTF_GLTF_JSON_H

#include <string>

#include "gltf/glb_binary.h"
#include "gltf/gltf_document.h"

std::string gltfJson(const GltfDocument& document, const GlbBinary& binary);

// A float as the shortest decimal text that reads back as the same float
// ("0.1", not "0.100000001"). Throws for infinities and NaN, which JSON
// cannot hold.
std::string floatText(float value);

#endif
