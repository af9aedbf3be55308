#include "export/scene_model.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <stdexcept>

#include "call_readers/drawn_groups.h"
#include "export/gate_leaves.h"
#include "export/program_camera.h"
#include "export/scene_parts.h"
#include "export/tied_pieces.h"
#include "export/vectors.h"
#include "geometry/turns.h"
#include "gltf/json_text.h"
#include "recording/gl_recorder.h"
#include "viewer/scene_state.h"
#include "viewer/window.h"

namespace {

const char kSceneName[] = "house";
const char kCameraName[] = "camera";

struct NamedColour {
    Rgb colour;
    const char* name;
};

// Every colour the scene draws with (the sky is the clear colour, not a
// surface), under the palette's name.
const NamedColour kColourNames[] = {
    {kGrassGreen, "grass green"},   {kWallYellow, "wall yellow"}, {kRoofRed, "roof red"},
    {kFoundationRed, "foundation red"}, {kBrickRed, "brick red"}, {kShadeRed, "shade red"},
    {kPicketRed, "picket red"},     {kBlack, "black"},            {kPaneGrey, "pane grey"},
    {kPavingGrey, "paving grey"},   {kFenceWhite, "fence white"},
};

std::array<float, 4> roundedQuaternion(double x, double y, double z, double w) {
    const double length = std::sqrt(x * x + y * y + z * z + w * w);
    return {float(x / length), float(y / length), float(z / length), float(w / length)};
}

// The quaternion of a rotation matrix m[row][column] (Shepperd's method:
// divide by the largest of the four, for accuracy).
std::array<float, 4> quaternionOf(const double m[3][3]) {
    const double trace = m[0][0] + m[1][1] + m[2][2];
    if (trace > 0) {
        const double s = 2 * std::sqrt(trace + 1);
        return roundedQuaternion((m[2][1] - m[1][2]) / s, (m[0][2] - m[2][0]) / s, (m[1][0] - m[0][1]) / s, s / 4);
    }
    if (m[0][0] > m[1][1] && m[0][0] > m[2][2]) {
        const double s = 2 * std::sqrt(1 + m[0][0] - m[1][1] - m[2][2]);
        return roundedQuaternion(s / 4, (m[0][1] + m[1][0]) / s, (m[0][2] + m[2][0]) / s, (m[2][1] - m[1][2]) / s);
    }
    if (m[1][1] > m[2][2]) {
        const double s = 2 * std::sqrt(1 + m[1][1] - m[0][0] - m[2][2]);
        return roundedQuaternion((m[0][1] + m[1][0]) / s, s / 4, (m[1][2] + m[2][1]) / s, (m[0][2] - m[2][0]) / s);
    }
    const double s = 2 * std::sqrt(1 + m[2][2] - m[0][0] - m[1][1]);
    return roundedQuaternion((m[0][2] + m[2][0]) / s, (m[1][2] + m[2][1]) / s, s / 4, (m[1][0] - m[0][1]) / s);
}

// A glTF camera looks down its -Z with +Y up: its node's turn carries
// those onto the program's line of sight and up.
std::array<float, 4> lookingTurn(const ProgramCamera& camera) {
    const Vec3 forward = unit(minus(camera.centre, camera.eye));
    const Vec3 right = unit(cross(forward, camera.up));
    const Vec3 up = cross(right, forward);
    const double m[3][3] = {{right.x, up.x, -forward.x},
                            {right.y, up.y, -forward.y},
                            {right.z, up.z, -forward.z}};
    return quaternionOf(m);
}

std::array<float, 4> turnAboutY(double radians) {
    return roundedQuaternion(0, std::sin(radians / 2), 0, std::cos(radians / 2));
}

std::array<float, 3> metres(const Vec3& v) {
    return {float(v.x * kMetresPerUnit), float(v.y * kMetresPerUnit), float(v.z * kMetresPerUnit)};
}

// Adding zero turns -0 into 0, so that one point has one key.
std::array<float, 3> rounded(const Vec3& v) {
    return {float(v.x) + 0.0f, float(v.y) + 0.0f, float(v.z) + 0.0f};
}

int materialOf(const Rgb& colour, GltfDocument& document) {
    const std::string name = colourName(colour);
    for (size_t i = 0; i < document.materials.size(); ++i)
        if (document.materials[i].name == name) return static_cast<int>(i);
    document.materials.push_back(GltfMaterial{
        name, {linearFromSrgb(colour.red), linearFromSrgb(colour.green), linearFromSrgb(colour.blue)}});
    return static_cast<int>(document.materials.size() - 1);
}

// One primitive a colour, in order of first use; each keeps the triangles
// in the order drawn and shares a vertex among every corner at one point.
int addMesh(const std::string& name, const std::vector<DrawnGroup>& groups, GltfDocument& document) {
    GltfMesh mesh{name, {}};
    std::vector<std::map<std::array<float, 3>, uint32_t>> indexOf;
    for (const DrawnGroup& group : groups) {
        const int material = materialOf(group.colour, document);
        size_t p = 0;
        while (p < mesh.primitives.size() && mesh.primitives[p].material != material) ++p;
        if (p == mesh.primitives.size()) {
            mesh.primitives.push_back(GltfPrimitive{material, {}, {}});
            indexOf.emplace_back();
        }
        GltfPrimitive& primitive = mesh.primitives[p];
        for (const Vec3& corner : fanTriangles(group)) {
            const std::array<float, 3> position = rounded(corner);
            const auto known = indexOf[p].emplace(position, static_cast<uint32_t>(primitive.positions.size()));
            if (known.second) primitive.positions.push_back(position);
            primitive.indices.push_back(known.first->second);
        }
    }
    document.meshes.push_back(std::move(mesh));
    return static_cast<int>(document.meshes.size() - 1);
}

int addNode(GltfNode node, GltfDocument& document) {
    document.nodes.push_back(std::move(node));
    return static_cast<int>(document.nodes.size() - 1);
}

// Rotations a key frame apart must lie on one side of the quaternion
// sphere, or a viewer turns the long way round.
std::array<float, 4> nearSide(std::array<float, 4> q, const std::array<float, 4>& previous) {
    if (q[0] * previous[0] + q[1] * previous[1] + q[2] * previous[2] + q[3] * previous[3] < 0)
        for (float& c : q) c = -c;
    return q;
}

// The turn from one direction about +Y to another, the short way round.
double turnBetween(double from, double to) { return std::remainder(to - from, 2 * kPi); }

// The poses a gate's swing passes through, and when: out to fully open,
// back through shut and on to where the view has it, a whole swing taking
// kGateSwingSeconds. It starts and ends at the view, so a viewer that
// shows a file at its animations' start (Blender does) shows the view, and
// playing it round and round shows the whole swing with no jump. A leg the
// gate already stands at is left out, so a gate shut or fully open still
// swings. "Nearly" is a ten-thousandth of the swing, far less than one
// key press turns a gate, and keeps any two key frames' times apart.
enum class GatePose { View, Open, Shut };
struct GateKey {
    float time;
    GatePose pose;
};
std::vector<GateKey> gateKeys(double opened) {
    const double kNearly = 1e-4;
    std::vector<GateKey> keys = {{0, GatePose::View}};
    double time = (1 - opened) * kGateSwingSeconds;
    if (1 - opened > kNearly) keys.push_back({float(time), GatePose::Open});
    time += kGateSwingSeconds;
    if (opened > kNearly) keys.push_back({float(time), GatePose::Shut});
    keys.push_back({float(time + opened * kGateSwingSeconds), GatePose::View});
    return keys;
}

// A gate's leaves as nodes turned about their hinges, and its swing
// (gateKeys). How far open the view has it is read off its first leaf, as
// its leaves swing together. Each leaf swings as a rigid board of its open
// reach, and stands at the view's ends as its node does. (A drive leaf
// reaches 25 until a drive-gate key first acts and 24 from then on; the
// program starts it so. The swing shows the board the keys turn, and the
// node's own pose what the program draws.)
void addGate(const DrawnPart& drawn, const GateSwing& swing, size_t& leafIndex, int gateNode,
             GltfDocument& document) {
    const double shutTurn = swing.shut.at(leafIndex).turn;
    const double opened = turnBetween(shutTurn, gateLeaf(drawn.groups.at(0)).turn) /
                          turnBetween(shutTurn, swing.open.at(leafIndex).turn);
    const std::vector<GateKey> keys = gateKeys(std::clamp(opened, 0.0, 1.0));
    GltfAnimation animation{"open " + std::string(drawn.part->name), {}, {}};
    for (const GateKey& key : keys) animation.times.push_back(key.time);
    for (size_t i = 0; i < drawn.groups.size(); ++i, ++leafIndex) {
        const GateLeaf leaf = gateLeaf(drawn.groups[i]);
        const GateLeaf& shut = swing.shut.at(leafIndex);
        const GateLeaf& open = swing.open.at(leafIndex);
        std::string name = std::string(drawn.part->name) + " leaf";
        if (drawn.groups.size() > 1) name += " " + std::to_string(i + 1);
        DrawnGroup board = drawn.groups[i];
        board.world = leaf.corners;
        GltfNode node;
        node.name = name;
        node.mesh = addMesh(name, {board}, document);
        node.translation = rounded(leaf.hinge);
        node.rotation = turnAboutY(leaf.turn);
        const int index = addNode(node, document);
        document.nodes[gateNode].children.push_back(index);

        const float stretch = float(open.reach / leaf.reach);
        GltfChannel turns{index, GltfPath::Rotation, {}}, scales{index, GltfPath::Scale, {}};
        std::array<float, 4> turn = node.rotation;
        for (const GateKey& key : keys) {
            const double to = key.pose == GatePose::Open ? open.turn : key.pose == GatePose::Shut ? shut.turn : leaf.turn;
            turn = nearSide(turnAboutY(to), turn);
            turns.values.insert(turns.values.end(), turn.begin(), turn.end());
            const float length = key.pose == GatePose::View ? 1.0f : stretch;
            scales.values.insert(scales.values.end(), {length, 1, 1});
        }
        animation.channels.push_back(std::move(turns));
        animation.channels.push_back(std::move(scales));
    }
    document.animations.push_back(std::move(animation));
}

}  // namespace

std::string colourName(const Rgb& colour) {
    for (const NamedColour& named : kColourNames)
        if (named.colour == colour) return named.name;
    throw std::logic_error("the program draws in a colour the palette does not name: (" +
                           floatText(colour.red) + ", " + floatText(colour.green) + ", " +
                           floatText(colour.blue) + ")");
}

float linearFromSrgb(float channel) {
    const double c = channel;
    return float(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
}

GltfDocument sceneDocument(const std::vector<KeyPress>& presses, const std::string& generator) {
    scene = kInitialScene;
    recorder::countOnly(true);
    pressKeys(presses);
    recorder::countOnly(false);
    const GateSwing swing = gateSwing();
    const ProgramCamera camera = programCamera(kWindowWidth, kWindowHeight);
    std::vector<DrawnPart> parts = drawParts();
    recorder::clear();
    std::vector<DrawnGroup*> drawn;
    for (const PartGroup& piece : inDrawOrder(parts)) drawn.push_back(piece.group);
    liftTiedPieces(drawn);

    GltfDocument document;
    document.generator = generator;
    document.sceneName = kSceneName;
    GltfNode root;
    root.name = kSceneName;
    root.scale = {kMetresPerUnit, kMetresPerUnit, kMetresPerUnit};
    const int rootIndex = addNode(root, document);
    size_t leafIndex = 0;
    for (const DrawnPart& part : parts) {
        GltfNode node;
        node.name = part.part->name;
        if (!part.part->moving) node.mesh = addMesh(node.name, part.groups, document);
        const int index = addNode(node, document);
        document.nodes[rootIndex].children.push_back(index);
        if (part.part->moving) addGate(part, swing, leafIndex, index, document);
    }

    document.cameras.push_back(GltfCamera{kCameraName, float(camera.fieldOfViewDegrees * kPi / 180),
                                          float(camera.aspect), float(camera.nearPlane * kMetresPerUnit),
                                          float(camera.farPlane * kMetresPerUnit)});
    GltfNode eye;
    eye.name = kCameraName;
    eye.camera = 0;
    eye.translation = metres(camera.eye);
    eye.rotation = lookingTurn(camera);
    document.sceneNodes = {rootIndex, addNode(eye, document)};
    return document;
}
