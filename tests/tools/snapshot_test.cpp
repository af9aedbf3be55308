// house-snapshot, run as a child process with no display server in its
// environment, and its PNGs read back with libpng.
#include <gtest/gtest.h>

#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "picture.h"
#include "processes.h"

namespace {

using e2e::Picture;

struct ToolRun {
    bool exited = false;  // ended by exit rather than by a signal
    int status = -1;
    std::string out;
    std::string err;
};

// The snapshot must not need a display: the child runs with DISPLAY unset.
ToolRun runSnapshot(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{HOUSE_SNAPSHOT};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const CommandResult result = runCommand(command, "");
    ToolRun run;
    run.exited = !result.timedOut && WIFEXITED(result.status);
    run.status = run.exited ? WEXITSTATUS(result.status) : -1;
    run.out = result.out;
    run.err = result.err;
    return run;
}

// Exact colours but for one step of the renderer's rounding (0.1 * 255).
bool withinRounding(const e2e::Rgb& pixel, const e2e::Rgb& colour) {
    return e2e::near(pixel, colour, 1);
}

int countLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

struct Difference {
    int pixels = 0;
    int left = 1 << 30;
    int right = -1;
};

Difference compare(const Picture& a, const Picture& b) {
    Difference difference;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if (!(a.at(x, y) == b.at(x, y))) {
                ++difference.pixels;
                difference.left = std::min(difference.left, x);
                difference.right = std::max(difference.right, x);
            }
        }
    }
    return difference;
}

class SnapshotTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return directory_.path(name); }
    std::vector<std::string> entries() const { return directory_.entries(); }

    // Renders with the given options into a fresh file and decodes it.
    Picture snapshot(std::vector<std::string> arguments) {
        const std::string output = path("shot" + std::to_string(shots_++) + ".png");
        arguments.push_back(output);
        const ToolRun run = runSnapshot(arguments);
        EXPECT_TRUE(run.exited && run.status == 0) << run.err;
        Picture image;
        EXPECT_NO_THROW(image = e2e::readPng(output)) << output;
        return image;
    }

    Picture withKeys(const std::string& keys) { return snapshot({"--keys", keys}); }

private:
    ScratchDirectory directory_;
    int shots_ = 0;
};

TEST_F(SnapshotTest, StartingViewHasSkyAboveAndGroundBelow) {
    const Picture image = snapshot({});
    ASSERT_EQ(image.width(), 500);
    ASSERT_EQ(image.height(), 500);
    EXPECT_TRUE(withinRounding(image.at(0, 0), e2e::kSky));
    EXPECT_TRUE(withinRounding(image.at(499, 0), e2e::kSky));

    int groundAbove = 0;
    int groundBelow = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (withinRounding(image.at(x, y), e2e::kGround)) {
                (y < image.height() / 2 ? groundAbove : groundBelow) += 1;
            }
        }
    }
    // The eye stands 20 above the ground and looks at the origin, 10 below
    // it: even the far edge of the ground square lies below the centre of
    // the picture, so grass shows only in the lower half (which also shows
    // the picture is not upside down).
    EXPECT_EQ(groundAbove, 0);
    EXPECT_GT(groundBelow, image.width() * image.height() / 100);
}

TEST_F(SnapshotTest, SizeOptionSetsTheImageDimensions) {
    const Picture wide = snapshot({"--size", "800x400"});
    EXPECT_EQ(wide.width(), 800);
    EXPECT_EQ(wide.height(), 400);
    EXPECT_TRUE(withinRounding(wide.at(0, 0), e2e::kSky));
    EXPECT_TRUE(withinRounding(wide.at(799, 0), e2e::kSky));

    const Picture tiny = snapshot({"--size=1x1"});
    EXPECT_EQ(tiny.width(), 1);
    EXPECT_EQ(tiny.height(), 1);
}

// The drive gate spans x = -78 to -30 and the walk gate x = 14 to 26.8.
// From the starting eye on the z axis, +X is the viewer's left, so each
// gate's pixels lie wholly in one half of the picture.
TEST_F(SnapshotTest, EachGateKeyChangesOnlyItsGatesSideOfThePicture) {
    const Picture start = snapshot({});
    const Difference drive = compare(start, withKeys("o*54"));
    EXPECT_GT(drive.pixels, 500);
    EXPECT_GE(drive.left, 250);

    const Difference walk = compare(start, withKeys("x*54"));
    EXPECT_GT(walk.pixels, 100);
    EXPECT_LT(walk.right, 250);
}

// Once opened, a gate closes to just short of shut, and its leaves reach 24
// rather than the 25 they start with: a full swing back and forth ends in
// the same picture as a single open-close step, and not in the start.
TEST_F(SnapshotTest, GateOpenedAndClosedEndsOneStepFromShut) {
    const Picture start = snapshot({});
    const Picture oneStep = withKeys("o c");
    const Picture fullSwing = withKeys("o*54 c*54");
    EXPECT_EQ(compare(oneStep, fullSwing).pixels, 0);
    EXPECT_GT(compare(start, oneStep).pixels, 0);
}

TEST_F(SnapshotTest, KeySequencesArePressedInOrderAcrossOptions) {
    const Picture together = withKeys("o*54 c*20");
    const Picture split = snapshot({"--keys", "o*54", "--keys", "c*20"});
    const Picture reversed = snapshot({"--keys", "c*20", "--keys", "o*54"});
    EXPECT_EQ(compare(together, split).pixels, 0);
    EXPECT_GT(compare(together, reversed).pixels, 0);
}

// Float rounding may leave the eye a hair away after a turn and its undo,
// so the pictures are compared for near equality against a real turn.
TEST_F(SnapshotTest, CameraTurnAndItsUndoComeBackToTheSameView) {
    const Picture turned = withKeys("Left*20");
    const Picture undone = withKeys("Left*20 Right*20");
    const Picture oneStep = withKeys("Left Right");
    const int total = 500 * 500;
    EXPECT_LT(compare(undone, oneStep).pixels, total / 500);
    EXPECT_GT(compare(turned, oneStep).pixels, total / 20);
}

TEST_F(SnapshotTest, CharactersKeepTheirCaseButKeyNamesDoNot) {
    const Picture start = snapshot({});
    EXPECT_EQ(compare(start, withKeys("O*54 C X Z")).pixels, 0);

    const Picture up = withKeys("Up*30");
    EXPECT_EQ(compare(up, withKeys("up*30")).pixels, 0);
    EXPECT_EQ(compare(up, withKeys("UP*10 uP*20")).pixels, 0);
    EXPECT_GT(compare(start, up).pixels, 0);
    const Picture zoomed = withKeys("plus*10 minus*3");
    EXPECT_EQ(compare(zoomed, withKeys("+*10 -*3")).pixels, 0);
    EXPECT_GT(compare(start, zoomed).pixels, 0);
}

TEST_F(SnapshotTest, SuccessReportsThePathAndLeavesOnlyTheImage) {
    const std::string output = path("view.png");
    {
        std::ofstream stale(output);
        stale << "an older file of another kind";
    }
    const ToolRun run = runSnapshot({"--keys", "o*3 F1 PageUp space", output});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(countLines(run.out), 1);
    EXPECT_NE(run.out.find(output), std::string::npos) << run.out;
    EXPECT_EQ(run.err, "");
    EXPECT_NO_THROW(e2e::readPng(output));
    EXPECT_EQ(entries(), std::vector<std::string>{"view.png"});
}

TEST_F(SnapshotTest, HelpExitsCleanlyAndNamesTheKeys) {
    const ToolRun run = runSnapshot({"--help"});
    ASSERT_TRUE(run.exited);
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("--keys"), std::string::npos);
    EXPECT_NE(run.out.find("--size"), std::string::npos);
    EXPECT_NE(run.out.find("Escape"), std::string::npos);
    EXPECT_NE(run.out.find("Left"), std::string::npos);
    EXPECT_TRUE(entries().empty());
}

// Each bad input must be refused before anything is written: one line on
// stderr, a non-zero status from exit (not a crash), and no file, not even
// a temporary one, left in the output's directory. Escape is among them:
// passed to the program's callback it would end the run with status 0 and
// no picture, so it has to be refused, and said to be.
TEST_F(SnapshotTest, BadInputFailsWithOneLineAndNoFile) {
    const std::string out = path("out.png");
    const std::vector<std::vector<std::string>> cases = {
        {"--keys", "nosuchkey", out},
        {"--keys", "F13", out},
        {"--keys", "o Escape", out},
        {"--keys", "o*0", out},
        {"--keys", "o*two", out},
        {"--keys", "o*", out},
        {"--keys", "o*10001", out},
        {"--keys", "o*99999999999999999999", out},
        {"--keys", "o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 "
                   "o*10000 o*10000 o*1", out},
        {"--size", "0x500", out},
        {"--size", "500", out},
        {"--size", "500x", out},
        {"--size", "-5x5", out},
        {"--size", "100000x10", out},
        {"--size", "99999999999x10", out},
        {"--size"},
        {"--keys"},
        {"--colour", "red", out},
        {},
        {"--keys", "o"},
        {out, path("second.png")},
        {path("missing/out.png")},
        {path("directory/")},
    };
    for (const std::vector<std::string>& arguments : cases) {
        std::string shown;
        for (const std::string& word : arguments) shown += " [" + word + "]";
        const ToolRun run = runSnapshot(arguments);
        EXPECT_TRUE(run.exited) << shown;
        EXPECT_NE(run.status, 0) << shown;
        EXPECT_EQ(countLines(run.err), 1) << shown << "\n" << run.err;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_TRUE(entries().empty()) << shown;
        if (arguments.size() > 1 && arguments[1].find("Escape") != std::string::npos) {
            EXPECT_NE(run.err.find("Escape"), std::string::npos) << run.err;
        }
        for (const std::string& name : entries()) std::remove(path(name).c_str());
    }
}

TEST_F(SnapshotTest, FailureKeepsAnExistingOutputUntouched) {
    const std::string output = path("keep.png");
    {
        std::ofstream keep(output);
        keep << "precious";
    }
    const ToolRun run = runSnapshot({"--keys", "o*abc", output});
    EXPECT_NE(run.status, 0);
    EXPECT_EQ(readFile(output), "precious");
    EXPECT_EQ(entries(), std::vector<std::string>{"keep.png"});
}

}  // namespace
