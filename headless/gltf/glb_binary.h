// The binary chunk of a .glb: every position, index and key frame of a
// glTF document one after another, and the buffer views and accessors by
// which the document's JSON reads them. Numbers are little-endian whatever
// the machine, so the same document lays out the same bytes natively and
// in WebAssembly.
#ifndef HOUSE_GLTF_GLB_BINARY_H
#define HOUSE_GLTF_GLB_BINARY_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "gltf/gltf_document.h"

// A view's target where it has none (key frames are neither vertices
// nor indices).
const int kGlbNoTarget = 0;

struct GlbView {
    size_t offset, length;
    int target;
};

struct GlbAccessor {
    size_t view;
    int component;
    size_t count;
    const char* type;
    std::vector<float> min, max;  // empty where glTF does not ask for them
};

// Which accessors read a primitive's data, and an animation's.
struct GlbPrimitiveAccessors {
    size_t positions, indices;
};
struct GlbAnimationAccessors {
    size_t times;
    std::vector<size_t> values;  // one a channel, in the channels' order
};

struct GlbBinary {
    std::vector<unsigned char> bytes;
    std::vector<GlbView> views;
    std::vector<GlbAccessor> accessors;
    std::vector<std::vector<GlbPrimitiveAccessors>> meshes;  // as the document's meshes
    std::vector<GlbAnimationAccessors> animations;           // as its animations
};

// The meshes' data first, primitive by primitive (positions, then
// indices), then each animation's times and its channels' values.
GlbBinary glbBinary(const GltfDocument& document);

void appendLittleEndian(std::vector<unsigned char>& out, uint32_t word);

#endif
