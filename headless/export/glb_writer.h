// A glTF document as the bytes of a binary glTF file (.glb): its JSON and
// one binary chunk with every position, index and key frame, laid out the
// same on every platform (little-endian, every number as written out
// here), so the same document gives the same bytes natively and in
// WebAssembly.
#ifndef HOUSE_EXPORT_GLB_WRITER_H
#define HOUSE_EXPORT_GLB_WRITER_H

#include <string>
#include <vector>

#include "export/gltf_document.h"

std::vector<unsigned char> glbBytes(const GltfDocument& document);

// A float as the shortest decimal text that reads back as the same float
// ("0.1", not "0.100000001"). Throws for infinities and NaN, which JSON
// cannot hold.
std::string floatText(float value);

#endif
