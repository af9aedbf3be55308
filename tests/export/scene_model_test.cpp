// The scene as a glTF document, read against the program's own calls: the
// parts together are the frame, each polygon becomes the triangles GL
// fills it with, vertices are shared, ties are lifted apart and nothing
// else, and the camera and gates stand where the program has them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/frame.h"
#include "call_readers/drawn_groups.h"
#include "export/scene_model.h"
#include "export/scene_parts.h"
#include "export/tied_pieces.h"
#include "geometry/turns.h"
#include "gltf/glb_writer.h"
#include "gltf/json_text.h"
#include "recording/gl_recorder.h"
#include "scene_test.h"

namespace {

// Shut (a drive leaf then reaches 25), open from behind and near, and
// half-way from above after a closing key.
const char* const kViews[] = {"", "o*54 x*54 Left*45 +*69", "o*20 x*7 c Right*30 Up*20"};

std::vector<KeyPress> keys(const std::string& text) {
    std::vector<KeyPress> presses;
    std::string error;
    EXPECT_TRUE(parseKeySequence(text, presses, error)) << error;
    return presses;
}

// The calls the frame makes between placing the camera and swapping.
std::vector<std::string> frameDrawing() {
    recorder::clear();
    display();
    std::vector<std::string> all = recorder::describeAll();
    const auto lookAt = std::find_if(all.begin(), all.end(),
                                     [](const std::string& c) { return c.rfind("gluLookAt", 0) == 0; });
    return std::vector<std::string>(lookAt + 1, all.end() - 1);
}

Vec3 at(const std::array<float, 3>& p) { return Vec3{p[0], p[1], p[2]}; }

// A node's point where the node's own turn, scale and place put it.
Vec3 posed(const GltfNode& node, const Vec3& p) {
    const Vec3 s{p.x * node.scale[0], p.y * node.scale[1], p.z * node.scale[2]};
    const double x = node.rotation[0], y = node.rotation[1], z = node.rotation[2], w = node.rotation[3];
    // v + 2w (q x v) + 2 q x (q x v), with q the quaternion's vector part.
    const Vec3 t{2 * (y * s.z - z * s.y), 2 * (z * s.x - x * s.z), 2 * (x * s.y - y * s.x)};
    return Vec3{s.x + w * t.x + (y * t.z - z * t.y) + node.translation[0],
                s.y + w * t.y + (z * t.x - x * t.z) + node.translation[1],
                s.z + w * t.z + (x * t.y - y * t.x) + node.translation[2]};
}

struct Triangle {
    Vec3 corners[3];
    int material;
};

// Every triangle of the document in scene units, each where its node
// stands under the scaled root.
std::vector<Triangle> sceneTriangles(const GltfDocument& document) {
    std::vector<Triangle> triangles;
    for (const GltfNode& node : document.nodes) {
        if (node.mesh < 0) continue;
        for (const GltfPrimitive& primitive : document.meshes[node.mesh].primitives)
            for (size_t i = 0; i < primitive.indices.size(); i += 3) {
                Triangle t{{}, primitive.material};
                for (int k = 0; k < 3; ++k) t.corners[k] = posed(node, at(primitive.positions[primitive.indices[i + k]]));
                triangles.push_back(t);
            }
    }
    return triangles;
}

Vec3 normalOf(const Vec3* c) {
    const Vec3 u{c[1].x - c[0].x, c[1].y - c[0].y, c[1].z - c[0].z};
    const Vec3 v{c[2].x - c[0].x, c[2].y - c[0].y, c[2].z - c[0].z};
    const Vec3 n{u.y * v.z - u.z * v.y, u.z * v.x - u.x * v.z, u.x * v.y - u.y * v.x};
    const double length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return Vec3{n.x / length, n.y / length, n.z / length};
}

double along(const Vec3& n, const Vec3& p) { return n.x * p.x + n.y * p.y + n.z * p.z; }

const GltfNode& nodeNamed(const GltfDocument& document, const std::string& name) {
    for (const GltfNode& node : document.nodes)
        if (node.name == name) return node;
    throw std::runtime_error("no node " + name);
}

using SceneModelTest = SceneTest;

TEST_F(SceneModelTest, ThePartsTogetherMakeExactlyTheFramesCalls) {
    for (const char* view : kViews) {
        scene = kInitialScene;
        pressKeys(keys(view));
        const std::vector<std::string> frame = frameDrawing();
        drawParts();
        EXPECT_EQ(recorder::describeAll(), frame) << view;
    }
}

// Left and right as seen from the street; the shell and the roof are
// parted by colour into what a person names apart.
TEST_F(SceneModelTest, EachPartStandsWhereItsNameSays) {
    const std::map<std::string, Box> places = {
        {"right fence", {-120, -118, -10, 2, -120, 120}},
        {"back fence", {-120, 120, -10, 2, 118, 120}},
        {"left fence", {118, 120, -10, 2, -120, 120}},
        {"front fence", {-120, 120, -10, 2, -120, -118}},
        {"ground", {-140, 140, -10, -10, -140, 140}},
        {"walls", {-60, 60, -8, 15, -10, 70}},
        {"front door", {14, 26, -8, 12, 9.5, 9.5}},
        {"roof", {-65, 65, 15, 35, -15, 75}},
        {"chimneys", {-30, 36, 30, 37, 32, 49}},
    };
    size_t found = 0;
    for (const DrawnPart& part : drawParts()) {
        if (!places.count(part.part->name)) continue;
        ++found;
        expectBox(boundsOf(part.groups, 0, part.groups.size(), true), places.at(part.part->name), 0.001);
    }
    EXPECT_EQ(found, places.size());
}

// Quads give two triangles, triangles one, polygons of n corners n - 2;
// a primitive holds each point once, and every point it holds is used.
TEST_F(SceneModelTest, EveryPolygonBecomesItsTrianglesOnSharedVertices) {
    for (const char* view : kViews) {
        const GltfDocument document = sceneDocument(keys(view), "test");
        std::map<std::string, size_t> drawnTriangles;  // by part
        for (const DrawnPart& part : drawParts())
            for (const DrawnGroup& group : part.groups) {
                const size_t n = group.vertices.size();
                drawnTriangles[part.part->name] +=
                    group.mode == GL_QUADS ? n / 2 : group.mode == GL_TRIANGLES ? n / 3 : n - 2;
            }
        std::map<std::string, size_t> meshTriangles;  // by part: a gate's leaves are its meshes
        size_t total = 0;
        for (const GltfMesh& mesh : document.meshes) {
            size_t triangles = 0;
            for (const GltfPrimitive& primitive : mesh.primitives) {
                triangles += primitive.indices.size() / 3;
                const std::set<std::array<float, 3>> distinct(primitive.positions.begin(), primitive.positions.end());
                EXPECT_EQ(distinct.size(), primitive.positions.size()) << mesh.name;
                const std::set<uint32_t> used(primitive.indices.begin(), primitive.indices.end());
                EXPECT_EQ(used.size(), primitive.positions.size()) << mesh.name;
                EXPECT_LT(*used.rbegin(), primitive.positions.size()) << mesh.name;
            }
            meshTriangles[mesh.name.substr(0, mesh.name.find(" leaf"))] += triangles;
            total += triangles;
        }
        EXPECT_EQ(meshTriangles, drawnTriangles) << view;
        EXPECT_EQ(total, 6950u) << view;
    }
}

// The program's ties are the wide windows' bars under their panes and the
// porch ceiling under the eave plane: only those move, by one lift, the
// bars out from their walls and the ceiling down to the porch.
TEST_F(SceneModelTest, OnlyTheTiesTheProgramLetsDrawOrderDecideAreLifted) {
    std::vector<DrawnPart> parts = drawParts();
    std::vector<DrawnGroup*> groups;
    std::vector<std::string> owners;
    for (DrawnPart& part : parts)
        for (DrawnGroup& group : part.groups) {
            groups.push_back(&group);
            owners.push_back(part.part->name);
        }
    const std::vector<Vec3> lifts = liftTiedPieces(groups);
    std::map<std::string, int> lifted;
    for (size_t i = 0; i < lifts.size(); ++i) {
        const Vec3& d = lifts[i];
        if (d.x == 0 && d.y == 0 && d.z == 0) continue;
        const std::string how = owners[i] + (d.x > 0 ? " +x" : d.y < 0 ? " -y" : d.z > 0 ? " +z" : " other");
        ++lifted[how];
        EXPECT_NEAR(std::sqrt(along(d, d)), kTieLift, 1e-12);
        EXPECT_EQ(groups[i]->colour == kBlack || groups[i]->colour == kShadeRed, true) << how;
    }
    const std::map<std::string, int> expected = {{"porch -y", 1}, {"windows +x", 3}, {"windows +z", 3}};
    EXPECT_EQ(lifted, expected);
}

TEST_F(SceneModelTest, NoTwoTrianglesOfDifferentColourOverlapInOnePlaneAfterTheLift) {
    for (const char* view : kViews) {
        const std::vector<Triangle> triangles = sceneTriangles(sceneDocument(keys(view), "test"));
        int ties = 0;
        for (size_t i = 0; i < triangles.size(); ++i) {
            const Vec3 n = normalOf(triangles[i].corners);
            const double offset = along(n, triangles[i].corners[0]);
            for (size_t j = i + 1; j < triangles.size(); ++j) {
                const Triangle& t = triangles[j];
                if (t.material == triangles[i].material) continue;
                bool inPlane = true;
                for (const Vec3& c : t.corners) inPlane = inPlane && std::fabs(along(n, c) - offset) < 1e-3;
                if (inPlane && sharedArea(triangles[i].corners, t.corners) > 1e-4) ++ties;
            }
        }
        EXPECT_EQ(ties, 0) << view;
    }
}

TEST(SharedArea, CountsOverlapNotTouching) {
    const struct {
        Vec3 a[3], b[3];
        double area;
    } cases[] = {
        {{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, 2},         // the same
        {{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{2, 0, 0}, {0, 2, 0}, {2, 2, 0}}, 0},         // a diagonal shared
        {{{0, 0, 0}, {2, 0, 0}, {0, 2, 0}}, {{5, 0, 0}, {6, 0, 0}, {5, 1, 0}}, 0},         // apart
        {{{0, 0, 0}, {4, 0, 0}, {0, 4, 0}}, {{1, 1, 0}, {2, 1, 0}, {1, 2, 0}}, 0.5},       // inside
        {{{0, 0, 0}, {0, 2, 2}, {0, 0, 2}}, {{0, 0, 0}, {0, 2, 0}, {0, 2, 2}}, 0},         // across x = 0
        {{{0, 0, 0}, {4, 4, 0}, {0, 4, 0}}, {{0, 0, 0}, {4, 4, 0}, {4, 0, 0}}, 0},         // halves of a square
        {{{0, 0, 0}, {2, 0, 2}, {0, 2, 0}}, {{0, 0, 0}, {2, 0, 2}, {0, 2, 0}}, 2 * std::sqrt(2.0)},  // tilted
    };
    for (const auto& c : cases) EXPECT_NEAR(sharedArea(c.a, c.b), c.area, 1e-9);
}

TEST_F(SceneModelTest, TheCameraIsTheProgramsEyeLookingAtTheOrigin) {
    for (const char* view : kViews) {
        const GltfDocument document = sceneDocument(keys(view), "test");
        const Vec3 eye{scene.eyeX, scene.eyeY, scene.eyeZ};
        const GltfNode& camera = nodeNamed(document, "camera");
        ASSERT_EQ(camera.camera, 0);
        const double eyeAt[] = {eye.x, eye.y, eye.z};
        for (int i = 0; i < 3; ++i) EXPECT_FLOAT_EQ(camera.translation[i], float(eyeAt[i] * 0.1));
        GltfNode turnOnly = camera;
        turnOnly.translation = {0, 0, 0};
        const Vec3 sight = posed(turnOnly, Vec3{0, 0, -1}), up = posed(turnOnly, Vec3{0, 1, 0});
        const double distance = std::sqrt(along(eye, eye));
        EXPECT_NEAR(along(sight, eye) / distance, -1, 1e-6) << view;
        EXPECT_NEAR(along(up, sight), 0, 1e-6) << view;
        EXPECT_NEAR(up.x * sight.z - up.z * sight.x, 0, 1e-6) << "up leans sideways after " << view;
        EXPECT_GT(up.y, 0) << view;
    }
    const GltfCamera lens = sceneDocument(keys(kViews[2]), "test").cameras.at(0);
    EXPECT_FLOAT_EQ(lens.verticalFieldOfView, float(50 * kPi / 180));
    EXPECT_EQ(lens.aspectRatio, 1.0f);
    EXPECT_FLOAT_EQ(lens.nearPlane, 0.1f);
    EXPECT_FLOAT_EQ(lens.farPlane, 100.0f);
}

// The leaves' nodes put their boards where the program draws them.
TEST_F(SceneModelTest, GateLeavesStandWhereTheProgramDrawsThem) {
    for (const char* view : kViews) {
        const GltfDocument document = sceneDocument(keys(view), "test");
        std::vector<Vec3> drawn;
        for (const DrawnPart& part : drawParts())
            if (part.part->moving)
                for (const DrawnGroup& group : part.groups) drawn.insert(drawn.end(), group.world.begin(), group.world.end());
        std::vector<Vec3> posedCorners;
        for (const char* leaf : {"walk gate leaf", "drive gate leaf 1", "drive gate leaf 2"}) {
            const GltfNode& node = nodeNamed(document, leaf);
            const GltfPrimitive& board = document.meshes.at(node.mesh).primitives.at(0);
            // The fan's corners in the order drawn: 0, 1, 2 then 3.
            for (uint32_t index : {board.indices[0], board.indices[1], board.indices[2], board.indices[5]})
                posedCorners.push_back(posed(node, at(board.positions[index])));
        }
        ASSERT_EQ(posedCorners.size(), drawn.size());
        for (size_t i = 0; i < drawn.size(); ++i) {
            EXPECT_NEAR(posedCorners[i].x, drawn[i].x, 1e-4) << view << " corner " << i;
            EXPECT_NEAR(posedCorners[i].y, drawn[i].y, 1e-4) << view << " corner " << i;
            EXPECT_NEAR(posedCorners[i].z, drawn[i].z, 1e-4) << view << " corner " << i;
        }
    }
}

TEST_F(SceneModelTest, MaterialsArePaletteColoursInLinearLight) {
    const struct {
        float srgb, linear;
    } cases[] = {{0, 0}, {1, 1}, {0.04045f, 0.0031308f}, {0.5f, 0.21404114f}, {0.8f, 0.60382736f}, {0.2f, 0.033104766f}};
    for (const auto& c : cases) EXPECT_NEAR(linearFromSrgb(c.srgb), c.linear, 1e-7) << c.srgb;
    EXPECT_THROW(colourName(kSkyBlue), std::logic_error);
    std::set<std::string> names;
    for (const GltfMaterial& material : sceneDocument({}, "test").materials) names.insert(material.name);
    EXPECT_EQ(names.size(), 11u);
}

TEST_F(SceneModelTest, GlbChunksAreAlignedAndNumbersReadBack) {
    const std::vector<unsigned char> glb = glbBytes(sceneDocument({}, "test"));
    auto word = [&](size_t at) {
        return uint32_t(glb[at]) | uint32_t(glb[at + 1]) << 8 | uint32_t(glb[at + 2]) << 16 | uint32_t(glb[at + 3]) << 24;
    };
    EXPECT_EQ(word(0), 0x46546C67u);  // glTF
    EXPECT_EQ(word(4), 2u);
    EXPECT_EQ(word(8), glb.size());
    const size_t json = word(12);
    EXPECT_EQ(json % 4, 0u);
    EXPECT_EQ(glb[20], '{');
    EXPECT_EQ(word(20 + json + 4), 0x004E4942u);  // BIN
    EXPECT_EQ(20 + json + 8 + word(20 + json), glb.size());

    const std::pair<float, const char*> numbers[] = {
        {0.1f, "0.1"}, {1.0f, "1"}, {-0.0f, "-0"}, {16777216.0f, "16777216"}, {0.87266463f, "0.87266463"}};
    for (const auto& [value, text] : numbers) EXPECT_EQ(floatText(value), text);
    for (float value : {6.123234e-17f, 1.0f / 3, -118.00028f}) EXPECT_EQ(std::strtof(floatText(value).c_str(), nullptr), value);
    EXPECT_THROW(floatText(NAN), std::invalid_argument);
}

}  // namespace
