// A glTF document as the bytes of a binary glTF file (.glb): its JSON
// (gltf_json.h) and one binary chunk with every position, index and key
// frame (glb_binary.h), so the same document gives the same bytes natively
// and in WebAssembly.
#ifndef HOUSE_GLTF_GLB_WRITER_H
#define HOUSE_GLTF_GLB_WRITER_H

#include <vector>

#include "gltf/gltf_document.h"

std::vector<unsigned char> glbBytes(const GltfDocument& document);

#endif
