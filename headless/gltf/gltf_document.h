// A glTF 2.0 document as plain data: the parts of it this program writes
// (nodes, triangle meshes of unlit materials, cameras and animations of
// nodes' turns and scales), in memory, before they become bytes.
#ifndef HOUSE_GLTF_GLTF_DOCUMENT_H
#define HOUSE_GLTF_GLTF_DOCUMENT_H

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// A flat colour, the same whatever the light: its colour is linear, as
// glTF's colours are.
struct GltfMaterial {
    std::string name;
    std::array<float, 3> linearColour;
};

// Triangles of one material: three indices into the positions a triangle.
struct GltfPrimitive {
    int material;
    std::vector<std::array<float, 3>> positions;
    std::vector<uint32_t> indices;
};

struct GltfMesh {
    std::string name;
    std::vector<GltfPrimitive> primitives;
};

// A perspective camera; it looks down its node's -Z with +Y up.
struct GltfCamera {
    std::string name;
    float verticalFieldOfView;  // radians
    float aspectRatio;
    float nearPlane;
    float farPlane;
};

struct GltfNode {
    std::string name;
    int mesh = -1;
    int camera = -1;
    std::vector<int> children;
    std::array<float, 3> translation = {0, 0, 0};
    std::array<float, 4> rotation = {0, 0, 0, 1};  // unit quaternion x, y, z, w
    std::array<float, 3> scale = {1, 1, 1};
};

enum class GltfPath { Rotation, Scale };

// One property of one node over the animation's times: four numbers a key
// frame for a rotation, three for a scale, between which viewers
// interpolate (a rotation along the shortest arc).
struct GltfChannel {
    int node;
    GltfPath path;
    std::vector<float> values;
};

struct GltfAnimation {
    std::string name;
    std::vector<float> times;  // seconds, rising
    std::vector<GltfChannel> channels;
};

struct GltfDocument {
    std::string generator;
    std::string sceneName;
    std::vector<int> sceneNodes;  // the roots of the one scene
    std::vector<GltfNode> nodes;
    std::vector<GltfMesh> meshes;
    std::vector<GltfMaterial> materials;
    std::vector<GltfCamera> cameras;
    std::vector<GltfAnimation> animations;
};

#endif
