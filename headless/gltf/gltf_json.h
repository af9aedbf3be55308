// The JSON of a binary glTF file: the document, reading its numbers
// through the accessors its binary chunk's layout gave them.
#ifndef HOUSE_GLTF_GLTF_JSON_H
#define HOUSE_GLTF_GLTF_JSON_H

#include <string>

#include "gltf/glb_binary.h"
#include "gltf/gltf_document.h"

std::string gltfJson(const GltfDocument& document, const GlbBinary& binary);

#endif
