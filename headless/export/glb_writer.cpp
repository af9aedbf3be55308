#include "export/glb_writer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

// glTF's numbers for what the binary chunk holds and how it is read.
const int kFloatComponent = 5126;
const int kUnsignedShortComponent = 5123;
const int kUnsignedIntComponent = 5125;
const int kVertexData = 34962;
const int kIndexData = 34963;
const int kNoTarget = 0;
const int kTriangles = 4;
// Index 65535 means "restart" to some readers, so 16-bit indices serve
// only primitives with fewer vertices than that.
const size_t kMostShortIndexedVertices = 65535;

const uint32_t kGlbMagic = 0x46546C67;  // "glTF"
const uint32_t kGlbVersion = 2;
const uint32_t kJsonChunk = 0x4E4F534A;  // "JSON"
const uint32_t kBinaryChunk = 0x004E4942;  // "BIN\0"
const size_t kChunkAlignment = 4;
const size_t kFloatDigitsAtLeast = 6;
const size_t kFloatDigitsAtMost = 9;  // enough for any float to read back

// Little-endian, whatever the machine.
void appendWord(std::vector<unsigned char>& out, uint32_t word) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<unsigned char>(word >> shift));
}

// JSON written as it goes: each value knows whether a comma must come
// before it from whether its array or object has had one yet.
struct Json {
    std::string text;
    std::vector<bool> levelEmpty;
    bool afterKey = false;

    void separate() {
        if (afterKey) {
            afterKey = false;
        } else if (!levelEmpty.empty()) {
            if (!levelEmpty.back()) text += ',';
            levelEmpty.back() = false;
        }
    }
    void open(char bracket) {
        separate();
        text += bracket;
        levelEmpty.push_back(true);
    }
    void close(char bracket) {
        text += bracket;
        levelEmpty.pop_back();
    }
    void string(const std::string& value) {
        separate();
        text += '"';
        for (unsigned char c : value) {
            if (c == '"' || c == '\\') {
                text += '\\';
                text += static_cast<char>(c);
            } else if (c < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", c);
                text += escape;
            } else {
                text += static_cast<char>(c);
            }
        }
        text += '"';
    }
    void key(const char* name) {
        string(name);
        text += ':';
        afterKey = true;
    }
    void boolean(bool value) {
        separate();
        text += value ? "true" : "false";
    }
    void integer(size_t value) {
        separate();
        text += std::to_string(value);
    }
    void number(float value) {
        separate();
        text += floatText(value);
    }
    void floats(const float* values, size_t count) {
        open('[');
        for (size_t i = 0; i < count; ++i) number(values[i]);
        close(']');
    }
};

struct Accessor {
    size_t view;
    int component;
    size_t count;
    const char* type;
    std::vector<float> min, max;  // empty where glTF does not ask for them
};

struct View {
    size_t offset, length;
    int target;
};

// The binary chunk, and the views and accessors that read it.
struct Binary {
    std::vector<unsigned char> bytes;
    std::vector<View> views;
    std::vector<Accessor> accessors;

    void appendFloat(float value) {
        uint32_t word;
        static_assert(sizeof word == sizeof value, "a float is 32 bits");
        std::memcpy(&word, &value, sizeof word);
        appendWord(bytes, word);
    }
    // Every view starts on a 4-byte boundary, as glTF asks of float data.
    size_t beginView() {
        while (bytes.size() % kChunkAlignment != 0) bytes.push_back(0);
        return bytes.size();
    }
    size_t endView(size_t offset, int target) {
        views.push_back(View{offset, bytes.size() - offset, target});
        return views.size() - 1;
    }
    size_t addAccessor(Accessor accessor) {
        accessors.push_back(std::move(accessor));
        return accessors.size() - 1;
    }

    size_t floats(const std::vector<float>& values, size_t width, const char* type, bool bounds,
                  int target) {
        const size_t offset = beginView();
        for (float value : values) appendFloat(value);
        Accessor accessor{endView(offset, target), kFloatComponent, values.size() / width, type, {}, {}};
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
                bytes.push_back(static_cast<unsigned char>(index));
                bytes.push_back(static_cast<unsigned char>(index >> 8));
            } else {
                appendWord(bytes, index);
            }
        }
        const int component = narrow ? kUnsignedShortComponent : kUnsignedIntComponent;
        return addAccessor(Accessor{endView(offset, kIndexData), component, indices.size(), "SCALAR", {}, {}});
    }
};

bool isZero(const std::array<float, 3>& v) { return v[0] == 0 && v[1] == 0 && v[2] == 0; }
bool isOne(const std::array<float, 3>& v) { return v[0] == 1 && v[1] == 1 && v[2] == 1; }
bool isNoTurn(const std::array<float, 4>& q) { return q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1; }

void writeIndexList(Json& json, const char* name, const std::vector<int>& list) {
    json.key(name);
    json.open('[');
    for (int index : list) json.integer(static_cast<size_t>(index));
    json.close(']');
}

void writeNodes(Json& json, const std::vector<GltfNode>& nodes) {
    json.key("nodes");
    json.open('[');
    for (const GltfNode& node : nodes) {
        json.open('{');
        json.key("name");
        json.string(node.name);
        if (node.mesh >= 0) {
            json.key("mesh");
            json.integer(static_cast<size_t>(node.mesh));
        }
        if (node.camera >= 0) {
            json.key("camera");
            json.integer(static_cast<size_t>(node.camera));
        }
        if (!node.children.empty()) writeIndexList(json, "children", node.children);
        if (!isZero(node.translation)) {
            json.key("translation");
            json.floats(node.translation.data(), 3);
        }
        if (!isNoTurn(node.rotation)) {
            json.key("rotation");
            json.floats(node.rotation.data(), 4);
        }
        if (!isOne(node.scale)) {
            json.key("scale");
            json.floats(node.scale.data(), 3);
        }
        json.close('}');
    }
    json.close(']');
}

void writeMeshes(Json& json, const std::vector<GltfMesh>& meshes, Binary& binary) {
    json.key("meshes");
    json.open('[');
    for (const GltfMesh& mesh : meshes) {
        json.open('{');
        json.key("name");
        json.string(mesh.name);
        json.key("primitives");
        json.open('[');
        for (const GltfPrimitive& primitive : mesh.primitives) {
            json.open('{');
            json.key("attributes");
            json.open('{');
            json.key("POSITION");
            json.integer(binary.positions(primitive.positions));
            json.close('}');
            json.key("indices");
            json.integer(binary.indices(primitive.indices, primitive.positions.size()));
            json.key("material");
            json.integer(static_cast<size_t>(primitive.material));
            json.key("mode");
            json.integer(kTriangles);
            json.close('}');
        }
        json.close(']');
        json.close('}');
    }
    json.close(']');
}

// Unlit, with the metallic-roughness colour as the fallback a reader
// without the extension shows: plain, rough and not metal. Drawn from both
// sides, as the program culls no face.
void writeMaterials(Json& json, const std::vector<GltfMaterial>& materials) {
    json.key("materials");
    json.open('[');
    for (const GltfMaterial& material : materials) {
        json.open('{');
        json.key("name");
        json.string(material.name);
        json.key("pbrMetallicRoughness");
        json.open('{');
        json.key("baseColorFactor");
        const float colour[] = {material.linearColour[0], material.linearColour[1],
                                material.linearColour[2], 1.0f};
        json.floats(colour, 4);
        json.key("metallicFactor");
        json.number(0);
        json.key("roughnessFactor");
        json.number(1);
        json.close('}');
        json.key("doubleSided");
        json.boolean(true);
        json.key("extensions");
        json.open('{');
        json.key("KHR_materials_unlit");
        json.open('{');
        json.close('}');
        json.close('}');
        json.close('}');
    }
    json.close(']');
}

void writeCameras(Json& json, const std::vector<GltfCamera>& cameras) {
    json.key("cameras");
    json.open('[');
    for (const GltfCamera& camera : cameras) {
        json.open('{');
        json.key("name");
        json.string(camera.name);
        json.key("type");
        json.string("perspective");
        json.key("perspective");
        json.open('{');
        json.key("yfov");
        json.number(camera.verticalFieldOfView);
        json.key("aspectRatio");
        json.number(camera.aspectRatio);
        json.key("znear");
        json.number(camera.nearPlane);
        json.key("zfar");
        json.number(camera.farPlane);
        json.close('}');
        json.close('}');
    }
    json.close(']');
}

void writeAnimations(Json& json, const std::vector<GltfAnimation>& animations, Binary& binary) {
    json.key("animations");
    json.open('[');
    for (const GltfAnimation& animation : animations) {
        const size_t times = binary.floats(animation.times, 1, "SCALAR", true, kNoTarget);
        json.open('{');
        json.key("name");
        json.string(animation.name);
        json.key("samplers");
        json.open('[');
        for (const GltfChannel& channel : animation.channels) {
            const bool rotation = channel.path == GltfPath::Rotation;
            json.open('{');
            json.key("input");
            json.integer(times);
            json.key("output");
            json.integer(binary.floats(channel.values, rotation ? 4 : 3, rotation ? "VEC4" : "VEC3",
                                       false, kNoTarget));
            json.key("interpolation");
            json.string("LINEAR");
            json.close('}');
        }
        json.close(']');
        json.key("channels");
        json.open('[');
        for (size_t i = 0; i < animation.channels.size(); ++i) {
            json.open('{');
            json.key("sampler");
            json.integer(i);
            json.key("target");
            json.open('{');
            json.key("node");
            json.integer(static_cast<size_t>(animation.channels[i].node));
            json.key("path");
            json.string(animation.channels[i].path == GltfPath::Rotation ? "rotation" : "scale");
            json.close('}');
            json.close('}');
        }
        json.close(']');
        json.close('}');
    }
    json.close(']');
}

void writeBinaryLayout(Json& json, const Binary& binary) {
    json.key("accessors");
    json.open('[');
    for (const Accessor& accessor : binary.accessors) {
        json.open('{');
        json.key("bufferView");
        json.integer(accessor.view);
        json.key("componentType");
        json.integer(static_cast<size_t>(accessor.component));
        json.key("count");
        json.integer(accessor.count);
        json.key("type");
        json.string(accessor.type);
        if (!accessor.min.empty()) {
            json.key("min");
            json.floats(accessor.min.data(), accessor.min.size());
            json.key("max");
            json.floats(accessor.max.data(), accessor.max.size());
        }
        json.close('}');
    }
    json.close(']');
    json.key("bufferViews");
    json.open('[');
    for (const View& view : binary.views) {
        json.open('{');
        json.key("buffer");
        json.integer(0);
        json.key("byteOffset");
        json.integer(view.offset);
        json.key("byteLength");
        json.integer(view.length);
        if (view.target != kNoTarget) {
            json.key("target");
            json.integer(static_cast<size_t>(view.target));
        }
        json.close('}');
    }
    json.close(']');
    json.key("buffers");
    json.open('[');
    json.open('{');
    json.key("byteLength");
    json.integer(binary.bytes.size());
    json.close('}');
    json.close(']');
}

std::string documentJson(const GltfDocument& document, Binary& binary) {
    Json json;
    json.open('{');
    json.key("asset");
    json.open('{');
    json.key("version");
    json.string("2.0");
    json.key("generator");
    json.string(document.generator);
    json.close('}');
    json.key("extensionsUsed");
    json.open('[');
    json.string("KHR_materials_unlit");
    json.close(']');
    json.key("scene");
    json.integer(0);
    json.key("scenes");
    json.open('[');
    json.open('{');
    json.key("name");
    json.string(document.sceneName);
    writeIndexList(json, "nodes", document.sceneNodes);
    json.close('}');
    json.close(']');
    writeNodes(json, document.nodes);
    // glTF allows no empty list: a list with nothing in it is left out.
    if (!document.meshes.empty()) writeMeshes(json, document.meshes, binary);
    if (!document.materials.empty()) writeMaterials(json, document.materials);
    if (!document.cameras.empty()) writeCameras(json, document.cameras);
    if (!document.animations.empty()) writeAnimations(json, document.animations, binary);
    if (!binary.accessors.empty()) writeBinaryLayout(json, binary);
    json.close('}');
    return json.text;
}

void appendChunk(std::vector<unsigned char>& out, uint32_t type, const unsigned char* data,
                 size_t length, unsigned char padding) {
    const size_t padded = (length + kChunkAlignment - 1) / kChunkAlignment * kChunkAlignment;
    appendWord(out, static_cast<uint32_t>(padded));
    appendWord(out, type);
    out.insert(out.end(), data, data + length);
    out.insert(out.end(), padded - length, padding);
}

}  // namespace

std::string floatText(float value) {
    if (!std::isfinite(value)) throw std::invalid_argument("a number that JSON cannot hold");
    char text[32];
    for (size_t digits = kFloatDigitsAtLeast; digits <= kFloatDigitsAtMost; ++digits) {
        std::snprintf(text, sizeof text, "%.*g", static_cast<int>(digits), static_cast<double>(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return text;
}

std::vector<unsigned char> glbBytes(const GltfDocument& document) {
    Binary binary;
    const std::string json = documentJson(document, binary);
    std::vector<unsigned char> out;
    appendWord(out, kGlbMagic);
    appendWord(out, kGlbVersion);
    appendWord(out, 0);  // the whole length, filled in below
    // The JSON is padded with spaces, the binary chunk with zeros.
    appendChunk(out, kJsonChunk, reinterpret_cast<const unsigned char*>(json.data()), json.size(), ' ');
    if (!binary.bytes.empty())
        appendChunk(out, kBinaryChunk, binary.bytes.data(), binary.bytes.size(), 0);
    const uint32_t length = static_cast<uint32_t>(out.size());
    for (int i = 0; i < 4; ++i) out[8 + i] = static_cast<unsigned char>(length >> (8 * i));
    return out;
}
