// house-export's part map against house-snapshot's picture of the same
// view at the same size: wherever the map names a part, the picture shows
// one of that part's own colours, and where it names none, the sky. And
// house-snapshot's pixel histories, which the same rasterizer works out,
// against the pictures GL draws of the whole frame and of its first pieces.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "export/scene_parts.h"
#include "recording/gl_recorder.h"
#include "support/build_paths.h"
#include "support/pictures/picture.h"
#include "support/processes/processes.h"
#include "support/processes/scratch_directory.h"
#include "viewer/scene_state.h"

namespace {

const Pixel kSky{51, 204, 255};

Pixel shown(const Rgb& colour) {
    return Pixel{int(std::lround(colour.red * 255)), int(std::lround(colour.green * 255)),
                 int(std::lround(colour.blue * 255))};
}

// Each part's colours, as the program draws them.
std::vector<std::vector<Pixel>> partColours() {
    scene = kInitialScene;
    std::vector<std::vector<Pixel>> colours;
    for (const DrawnPart& part : drawParts()) {
        colours.emplace_back();
        for (const DrawnGroup& group : part.groups) colours.back().push_back(shown(group.colour));
    }
    recorder::clear();
    return colours;
}

bool showsOneOf(const Pixel& pixel, const std::vector<Pixel>& colours) {
    for (const Pixel& colour : colours)
        if (near(pixel, colour, kRoundingSteps)) return true;
    return false;
}

// The starting view, both gates open from above, the back, close up by the
// walk gate, and a wide low picture of a gate part-open.
TEST(PartMap, AgreesWithTheProgramsPicture) {
    const struct {
        const char* keys;
        const char* size;
    } views[] = {
        {"", "500x500"},
        {"o*54 x*54 Up*18 -*50 Right*6", "400x300"},
        {"Left*45", "300x300"},
        {"x*30 +*69 Up*6 Right*3", "320x480"},
        {"o*25 Down*3 Left*80", "640x200"},
    };
    const std::vector<std::vector<Pixel>> colours = partColours();
    ScratchDirectory directory;
    for (const auto& view : views) {
        const std::string map = directory.path("map.png"), picture = directory.path("shot.png");
        const CommandResult mapped =
            runCommand({kExportProgram, "--part-map", map, "--keys", view.keys, "--size", view.size}, "");
        ASSERT_EQ(mapped.exitStatus(), 0) << mapped.err;
        const CommandResult shot =
            runCommand({kSnapshotProgram, "--keys", view.keys, "--size", view.size, picture}, "");
        ASSERT_EQ(shot.exitStatus(), 0) << shot.err;
        // The numbers printed beside the map are the parts' own.
        std::ostringstream table;
        for (size_t i = 0; i < colours.size(); ++i) table << i + 1 << "  " << sceneParts()[i].name << "\n";
        EXPECT_EQ(mapped.out, table.str() + "wrote a " + view.size + " part map to '" + map + "'\n");

        const Picture parts = readPng(map), seen = readPng(picture);
        ASSERT_EQ(parts.width(), seen.width());
        ASSERT_EQ(parts.height(), seen.height());
        long named = 0, agreeing = 0, sky = 0, skyAgreeing = 0;
        std::set<int> inView;
        for (int row = 0; row < parts.height(); ++row)
            for (int column = 0; column < parts.width(); ++column) {
                const Pixel part = parts.at(column, row), pixel = seen.at(column, row);
                ASSERT_EQ(part.g + part.b, 0);
                ASSERT_LE(part.r, int(colours.size()));
                if (part.r == 0) {
                    ++sky;
                    skyAgreeing += near(pixel, kSky, kRoundingSteps);
                    continue;
                }
                inView.insert(part.r);
                ++named;
                agreeing += showsOneOf(pixel, colours[size_t(part.r - 1)]);
            }
        std::cout << "\"" << view.keys << "\" " << view.size << ": " << agreeing << " of " << named
                  << " named pixels and " << skyAgreeing << " of " << sky << " sky pixels agree, "
                  << inView.size() << " parts in view\n";
        EXPECT_GE(agreeing, 0.99 * double(named)) << view.keys;
        EXPECT_GE(skyAgreeing, 0.99 * double(sky)) << view.keys;
        EXPECT_GE(inView.size(), 5u) << view.keys;
    }
}

Pixel hexPixel(const std::string& hex) {
    const auto channel = [&hex](size_t at) { return int(std::stoi(hex.substr(at, 2), nullptr, 16)); };
    return Pixel{channel(1), channel(3), channel(5)};
}

// One line of --pixel: "  412  walk gate  drawWalkGate  src/...  #b20000
// depth 0.988729  kept".
struct Covered {
    long step;
    std::string part;
    Pixel colour;
    bool kept;
};

std::vector<Covered> readHistory(const std::string& text) {
    std::vector<Covered> history;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        const size_t hash = line.find('#');
        const size_t partStart = line.find_first_not_of(' ', line.find_first_of(' ', line.find_first_not_of(' ')));
        history.push_back(Covered{std::stol(line), line.substr(partStart, line.find("  ", partStart) - partStart),
                                  hexPixel(line.substr(hash, 7)), line.substr(line.size() - 4) == "kept"});
    }
    return history;
}

// For a window pane, a gate leaf of each gate, the chimney, a picket seen
// through the open drive gate and two posts in one place (the first drawn
// keeps the pixel): the last piece kept is what GL draws there; drawing
// only up to that piece shows it, and one piece less shows the piece kept
// before it, or the sky.
TEST(PixelHistory, LastKeptPieceIsWhatGlDrawsThere) {
    const struct {
        const char* keys;
        const char* size;
        int x, y;
        const char* shows;
    } pixels[] = {
        {"", "500x500", 254, 233, "windows"},
        {"", "500x500", 114, 311, "walk gate"},
        {"", "500x500", 464, 312, "drive gate"},
        {"", "500x500", 317, 167, "chimneys"},
        {"o*54 Right*8", "500x500", 61, 250, "left fence"},
        {"o*54", "500x500", 449, 250, "right fence"},
        {"Left*45 Up*4", "320x240", 160, 100, "roof"},
    };
    ScratchDirectory directory;
    const auto pictureAt = [&](const auto& view, const std::vector<std::string>& until) {
        std::vector<std::string> arguments = {kSnapshotProgram, "--keys", view.keys, "--size", view.size};
        arguments.insert(arguments.end(), until.begin(), until.end());
        arguments.push_back(directory.path("shot.png"));
        const CommandResult shot = runCommand(arguments, "");
        EXPECT_EQ(shot.exitStatus(), 0) << shot.err;
        return readPng(directory.path("shot.png")).at(view.x, view.y);
    };
    for (const auto& view : pixels) {
        const std::string at = std::to_string(view.x) + "," + std::to_string(view.y);
        const CommandResult told =
            runCommand({kSnapshotProgram, "--pixel", at, "--keys", view.keys, "--size", view.size}, "");
        ASSERT_EQ(told.exitStatus(), 0) << told.err;
        std::vector<Covered> kept;
        for (const Covered& piece : readHistory(told.out))
            if (piece.kept) kept.push_back(piece);
        ASSERT_FALSE(kept.empty()) << view.keys << " " << at;
        const Covered& last = kept.back();
        EXPECT_EQ(last.part, view.shows) << view.keys << " " << at << "\n" << told.out;
        const Pixel before = kept.size() > 1 ? kept[kept.size() - 2].colour : kSky;
        EXPECT_TRUE(near(pictureAt(view, {}), last.colour, kRoundingSteps)) << view.keys << " " << at;
        EXPECT_TRUE(near(pictureAt(view, {"--until", std::to_string(last.step)}), last.colour, kRoundingSteps))
            << view.keys << " " << at;
        EXPECT_TRUE(near(pictureAt(view, {"--until", std::to_string(last.step - 1)}), before, kRoundingSteps))
            << view.keys << " " << at << "\n" << told.out;
    }
}

// Every piece is drawn by a routine the program names, the walk gate's by
// drawWalkGate; up to the last piece is the whole picture, bit for bit; up
// to none, the cleared sky.
TEST(PixelHistory, UntilTheLastPieceIsTheWholeFrame) {
    const CommandResult steps = runCommand({kSnapshotProgram, "--steps", "--keys", "x*20"}, "");
    ASSERT_EQ(steps.exitStatus(), 0) << steps.err;
    EXPECT_EQ(steps.out.find('?'), std::string::npos);
    const size_t walkGate = steps.out.find("walk gate  ");
    ASSERT_NE(walkGate, std::string::npos);
    const size_t chain = steps.out.find("display", walkGate);
    EXPECT_EQ(steps.out.substr(chain, steps.out.find('\n', chain) - chain),
              "display > drawGrounds > drawWalkGate > drawFaces  drawWalkGate in src/grounds/front_fence.cpp");
    const std::string count = std::to_string(std::count(steps.out.begin(), steps.out.end(), '\n'));
    ScratchDirectory directory;
    const std::string whole = directory.path("whole.png"), upTo = directory.path("up-to.png"),
                      none = directory.path("none.png");
    const std::vector<std::pair<std::string, std::string>> runs = {{"", whole}, {count, upTo}, {"0", none}};
    for (const auto& [until, file] : runs) {
        std::vector<std::string> arguments = {kSnapshotProgram, "--keys", "x*20", "--size", "300x200"};
        if (!until.empty()) arguments.insert(arguments.end(), {"--until", until});
        arguments.push_back(file);
        ASSERT_EQ(runCommand(arguments, "").exitStatus(), 0) << until;
    }
    EXPECT_EQ(readFile(whole), readFile(upTo));
    const Picture sky = readPng(none);
    for (int row = 0; row < sky.height(); ++row)
        for (int column = 0; column < sky.width(); ++column) ASSERT_TRUE(near(sky.at(column, row), kSky, 0));
}

}  // namespace
