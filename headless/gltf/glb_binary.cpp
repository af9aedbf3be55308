#include "gltf/glb_binary.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

// glTF's numbers for what the binary chunk holds and how it is read.
const int kFloatComponent = 5126;
const int kUnsignedShortComponent = 5123;
const int kUnsignedIntComponent = 5125;
const int kVertexData = 34962;
const int kIndexData = 34963;
// Index 65535 means "restart" to some readers, so 16-bit indices serve
// only primitives with fewer vertices than that.
const size_t kMostShortIndexedVertices = 65535;
const size_t kViewAlignment = 4;

class Layout {
public:
    explicit Layout(GlbBinary& binary) : binary_(binary) {}

    size_t floats(const std::vector<float>& values, size_t width, const char* type, bool bounds,
                  int target) {
        const size_t offset = beginView();
        for (float value : values) appendFloat(value);
        GlbAccessor accessor{endView(offset, target), kFloatComponent, values.size() / width, type, {}, {}};
        if (bounds) {
            accessor.min.assign(values.begin(), values.begin() + width);
            accessor.max = accessor.min;
            for (size_t i = 0; i < values.size(); ++i) {
                accessor.min[i % width] = std::min(accessor.min[i % width], values[i]);
                accessor.max[i % width] = std::max(accessor.max[i % width], values[i]);
            }
        }
        return addAccessor(std::move(accessor));
    }

    size_t positions(const std::vector<std::array<float, 3>>& points) {
        std::vector<float> values;
        for (const auto& p : points) values.insert(values.end(), p.begin(), p.end());
        return floats(values, 3, "VEC3", true, kVertexData);
    }

    size_t indices(const std::vector<uint32_t>& indices, size_t vertexCount) {
        const bool narrow = vertexCount < kMostShortIndexedVertices;
        const size_t offset = beginView();
        for (uint32_t index : indices) {
            if (narrow) {
                binary_.bytes.push_back(static_cast<unsigned char>(index));
                binary_.bytes.push_back(static_cast<unsigned char>(index >> 8));
            } else {
                appendLittleEndian(binary_.bytes, index);
            }
        }
        const int component = narrow ? kUnsignedShortComponent : kUnsignedIntComponent;
        return addAccessor(GlbAccessor{endView(offset, kIndexData), component, indices.size(), "SCALAR", {}, {}});
    }

private:
    void appendFloat(float value) {
        uint32_t word;
        static_assert(sizeof word == sizeof value, "a float is 32 bits");
        std::memcpy(&word, &value, sizeof word);
        appendLittleEndian(binary_.bytes, word);
    }
    // Every view starts on a 4-byte boundary, as glTF asks of float data.
    size_t beginView() {
        while (binary_.bytes.size() % kViewAlignment != 0) binary_.bytes.push_back(0);
        return binary_.bytes.size();
    }
    size_t endView(size_t offset, int target) {
        binary_.views.push_back(GlbView{offset, binary_.bytes.size() - offset, target});
        return binary_.views.size() - 1;
    }
    size_t addAccessor(GlbAccessor accessor) {
        binary_.accessors.push_back(std::move(accessor));
        return binary_.accessors.size() - 1;
    }

    GlbBinary& binary_;
};

}  // namespace

void appendLittleEndian(std::vector<unsigned char>& out, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(word >> shift));
}

GlbBinary glbBinary(const GltfDocument& document) {
    GlbBinary binary;
    Layout layout(binary);
    for (const GltfMesh& mesh : document.meshes) {
        std::vector<GlbPrimitiveAccessors>& primitives = binary.meshes.emplace_back();
        for (const GltfPrimitive& primitive : mesh.primitives) {
            const size_t positions = layout.positions(primitive.positions);
            primitives.push_back({positions, layout.indices(primitive.indices, primitive.positions.size())});
        }
    }
    for (const GltfAnimation& animation : document.animations) {
        GlbAnimationAccessors& accessors = binary.animations.emplace_back();
        accessors.times = layout.floats(animation.times, 1, "SCALAR", true, kGlbNoTarget);
        for (const GltfChannel& channel : animation.channels) {
            const bool rotation = channel.path == GltfPath::Rotation;
            accessors.values.push_back(layout.floats(channel.values, rotation ? 4 : 3,
                                                     rotation ? "VEC4" : "VEC3", false, kGlbNoTarget));
        }
    }
    return binary;
}
