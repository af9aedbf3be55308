#include "gltf/gltf_json.h"

#include <vector>

#include "gltf/json_text.h"

namespace {

const int kTriangles = 4;

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

void writeMeshes(Json& json, const std::vector<GltfMesh>& meshes, const GlbBinary& binary) {
    json.key("meshes");
    json.open('[');
    for (size_t m = 0; m < meshes.size(); ++m) {
        json.open('{');
        json.key("name");
        json.string(meshes[m].name);
        json.key("primitives");
        json.open('[');
        for (size_t p = 0; p < meshes[m].primitives.size(); ++p) {
            json.open('{');
            json.key("attributes");
            json.open('{');
            json.key("POSITION");
            json.integer(binary.meshes[m][p].positions);
            json.close('}');
            json.key("indices");
            json.integer(binary.meshes[m][p].indices);
            json.key("material");
            json.integer(static_cast<size_t>(meshes[m].primitives[p].material));
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

void writeAnimations(Json& json, const std::vector<GltfAnimation>& animations, const GlbBinary& binary) {
    json.key("animations");
    json.open('[');
    for (size_t a = 0; a < animations.size(); ++a) {
        const GltfAnimation& animation = animations[a];
        json.open('{');
        json.key("name");
        json.string(animation.name);
        json.key("samplers");
        json.open('[');
        for (size_t c = 0; c < animation.channels.size(); ++c) {
            json.open('{');
            json.key("input");
            json.integer(binary.animations[a].times);
            json.key("output");
            json.integer(binary.animations[a].values[c]);
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

void writeBinaryLayout(Json& json, const GlbBinary& binary) {
    json.key("accessors");
    json.open('[');
    for (const GlbAccessor& accessor : binary.accessors) {
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
    for (const GlbView& view : binary.views) {
        json.open('{');
        json.key("buffer");
        json.integer(0);
        json.key("byteOffset");
        json.integer(view.offset);
        json.key("byteLength");
        json.integer(view.length);
        if (view.target != kGlbNoTarget) {
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

}  // namespace

std::string gltfJson(const GltfDocument& document, const GlbBinary& binary) {
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
