// house-export's part map against house-snapshot's picture of the same
// view at the same size: wherever the map names a part, the picture shows
// one of that part's own colours, and where it names none, the sky.
#include <gtest/gtest.h>

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

}  // namespace
