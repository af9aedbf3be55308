// house-snapshot, run as a child process with no display server in its
// environment, and its PNGs read back with libpng.
#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iostream>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "scene_colours.h"
#include "support/build_paths.h"
#include "support/pictures/picture.h"
#include "support/processes/processes.h"
#include "support/processes/scratch_directory.h"

namespace {

// The snapshot must not need a display: the child runs with DISPLAY unset.
CommandResult runSnapshot(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{kSnapshotProgram};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, "");
}

bool withinRounding(const Pixel& pixel, const Pixel& colour) {
    return near(pixel, colour, kRoundingSteps);
}

int countLines(const std::string& text) {
    int lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

class SnapshotTest : public ::testing::Test {
protected:
    std::string path(const std::string& name) const { return directory_.path(name); }
    std::vector<std::string> entries() const { return directory_.entries(); }
    const std::string& folder() const { return directory_.root(); }
    void clear() const { directory_.clear(); }

    // Renders with the given options into a fresh file and decodes it.
    Picture snapshot(std::vector<std::string> arguments) {
        const std::string output = path("shot" + std::to_string(shots_++) + ".png");
        arguments.push_back(output);
        const CommandResult run = runSnapshot(arguments);
        EXPECT_EQ(run.exitStatus(), 0) << run.err;
        Picture image;
        EXPECT_NO_THROW(image = readPng(output)) << output;
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
    EXPECT_TRUE(withinRounding(image.at(0, 0), kSky));
    EXPECT_TRUE(withinRounding(image.at(499, 0), kSky));

    int groundAbove = 0;
    int groundBelow = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (withinRounding(image.at(x, y), kGround)) {
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
    EXPECT_TRUE(withinRounding(wide.at(0, 0), kSky));
    EXPECT_TRUE(withinRounding(wide.at(799, 0), kSky));

    const Picture tiny = snapshot({"--size=1x1"});
    EXPECT_EQ(tiny.width(), 1);
    EXPECT_EQ(tiny.height(), 1);
}

// The drive gate spans x = -78 to -30 and the walk gate x = 14 to 26.8.
// From the starting eye on the z axis, +X is the viewer's left, so each
// gate's pixels lie wholly in one half of the picture.
TEST_F(SnapshotTest, EachGateKeyChangesOnlyItsGatesSideOfThePicture) {
    const Picture start = snapshot({});
    const Difference drive = compare(start, withKeys("o*54"), kSameRendererSteps);
    EXPECT_GT(drive.pixels, 500);
    EXPECT_GE(drive.left, 250);

    const Difference walk = compare(start, withKeys("x*54"), kSameRendererSteps);
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
    EXPECT_EQ(compare(oneStep, fullSwing, kSameRendererSteps).pixels, 0);
    EXPECT_GT(compare(start, oneStep, kSameRendererSteps).pixels, 0);
}

TEST_F(SnapshotTest, KeySequencesArePressedInOrderAcrossOptions) {
    const Picture together = withKeys("o*54 c*20");
    const Picture split = snapshot({"--keys", "o*54", "--keys", "c*20"});
    const Picture reversed = snapshot({"--keys", "c*20", "--keys", "o*54"});
    EXPECT_EQ(compare(together, split, kSameRendererSteps).pixels, 0);
    EXPECT_GT(compare(together, reversed, kSameRendererSteps).pixels, 0);
}

// Float rounding may leave the eye a hair away after a turn and its undo,
// so the pictures are compared for near equality against a real turn.
TEST_F(SnapshotTest, CameraTurnAndItsUndoComeBackToTheSameView) {
    const Picture turned = withKeys("Left*20");
    const Picture undone = withKeys("Left*20 Right*20");
    const Picture oneStep = withKeys("Left Right");
    const int total = 500 * 500;
    EXPECT_LT(compare(undone, oneStep, kSameRendererSteps).pixels, total / 500);
    EXPECT_GT(compare(turned, oneStep, kSameRendererSteps).pixels, total / 20);
}

TEST_F(SnapshotTest, CharactersKeepTheirCaseButKeyNamesDoNot) {
    const Picture start = snapshot({});
    EXPECT_EQ(compare(start, withKeys("O*54 C X Z"), kSameRendererSteps).pixels, 0);

    const Picture up = withKeys("Up*30");
    EXPECT_EQ(compare(up, withKeys("up*30"), kSameRendererSteps).pixels, 0);
    EXPECT_EQ(compare(up, withKeys("UP*10 uP*20"), kSameRendererSteps).pixels, 0);
    EXPECT_GT(compare(start, up, kSameRendererSteps).pixels, 0);
    const Picture zoomed = withKeys("plus*10 minus*3");
    EXPECT_EQ(compare(zoomed, withKeys("+*10 -*3"), kSameRendererSteps).pixels, 0);
    EXPECT_GT(compare(start, zoomed, kSameRendererSteps).pixels, 0);
}

// Supersampling averages each pixel over a finer grid: large faces keep
// their colour, pixels that edges cross take blends of the colours on
// either side, which the plain picture, all flat colours, never shows; the
// rest stays close to the plain picture. A factor of 1 is the plain picture.
// A quarter of the range: a pixel this far from the plain one is another
// surface, not an edge blended.
const int kFarApartSteps = 64;

TEST_F(SnapshotTest, SupersamplingBlendsEdgesAndKeepsFaces) {
    const int side = 120;
    const std::vector<std::string> view = {"--size", "120x120", "--keys", "Left*45 Up*17 -*12"};
    const Picture plain = snapshot(view);
    std::vector<std::string> once = view;
    once.insert(once.end(), {"--supersample", "1"});
    EXPECT_EQ(compare(plain, snapshot(once), kSameRendererSteps).pixels, 0);

    std::vector<std::string> four = view;
    four.push_back("--supersample=4");
    const Picture smooth = snapshot(four);
    ASSERT_EQ(smooth.width(), side);
    ASSERT_EQ(smooth.height(), side);
    EXPECT_TRUE(withinRounding(smooth.at(0, 0), kSky));
    EXPECT_TRUE(withinRounding(smooth.at(side / 2, side - 10), kGround));

    std::set<std::tuple<int, int, int>> plainColours;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Pixel pixel = plain.at(x, y);
            plainColours.insert({pixel.r, pixel.g, pixel.b});
        }
    }
    int blends = 0;
    int farApart = 0;
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x) {
            const Pixel pixel = smooth.at(x, y);
            blends += plainColours.count({pixel.r, pixel.g, pixel.b}) == 0;
            farApart += !near(pixel, plain.at(x, y), kFarApartSteps);
        }
    }
    std::cout << "blended pixels: " << blends << ", far from the plain picture: " << farApart << "\n";
    EXPECT_GT(blends, side * 2);
    EXPECT_LT(farApart, side * side / 10);
}

// The longest name a file system takes, 255 bytes, must work too: the
// temporary file beside it must not need a longer one.
TEST_F(SnapshotTest, SuccessReportsThePathAndLeavesOnlyTheImage) {
    for (const std::string& name : {std::string("view.png"), std::string(251, 'n') + ".png"}) {
        const std::string output = path(name);
        {
            std::ofstream stale(output);
            stale << "an older file of another kind";
        }
        const CommandResult run = runSnapshot({"--keys", "o*3 F1 PageUp space", output});
        EXPECT_EQ(run.exitStatus(), 0) << run.err;
        EXPECT_EQ(countLines(run.out), 1);
        EXPECT_NE(run.out.find(output), std::string::npos) << run.out;
        EXPECT_EQ(run.err, "");
        EXPECT_NO_THROW(readPng(output));
        EXPECT_EQ(entries(), std::vector<std::string>{name});
        clear();
    }
}

TEST_F(SnapshotTest, HelpAndVersionExitCleanly) {
    const CommandResult run = runSnapshot({"--help"});
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(run.err, "");
    for (const char* word : {"--keys", "--size", "--supersample", "--version", "Escape", "Left"}) {
        EXPECT_NE(run.out.find(word), std::string::npos) << word;
    }

    const CommandResult version = runSnapshot({"--version", path("ignored.png")});
    EXPECT_EQ(version.exitStatus(), 0);
    EXPECT_EQ(version.err, "");
    EXPECT_EQ(countLines(version.out), 1);
    EXPECT_EQ(version.out.rfind("house-snapshot ", 0), 0u) << version.out;
    EXPECT_TRUE(entries().empty());
}

// Each bad input must be refused before anything is written: one line on
// stderr, a non-zero status from exit (not a crash), and no file, not even
// a temporary one, left in the output's directory. The messages for each
// option and key are checked in-process (command_line_test.cpp); here one
// of each kind, and what only the running tool knows: the renderer's
// largest size, the frame's piece count and the output's folder. Escape is
// among them: passed to the program's callback it would end the run with
// status 0 and no picture, so it has to be refused, and said to be.
TEST_F(SnapshotTest, BadInputFailsWithOneLineAndNoFile) {
    const std::string out = path("out.png");
    const std::vector<std::vector<std::string>> cases = {
        {"--keys", "nosuchkey", out},
        {"--keys", "o Escape", out},
        {"--keys", "o \x1b[2Jnope", out},
        {"--keys", std::string(130000, 'n'), out},
        {"--supersample", "9", out},
        {"--size", "100000x10", out},
        {"--size", "20000x1", "--supersample", "8", out},
        {"--colour", "red", out},
        {"--until", "3478", out},
        {},
        {path("missing/out.png")},
        {path("directory/")},
        {path("missing\n\x1b[2J/out.png")},
        {path(std::string(256, 'n'))},
    };
    for (const std::vector<std::string>& arguments : cases) {
        std::string shown;
        for (const std::string& word : arguments) shown += " [" + word.substr(0, 80) + "]";
        const CommandResult run = runSnapshot(arguments);
        EXPECT_GT(run.exitStatus(), 0) << shown;
        EXPECT_EQ(countLines(run.err), 1) << shown << "\n" << run.err;
        EXPECT_LT(run.err.size(), 600u) << shown;
        EXPECT_EQ(run.err.find('\x1b'), std::string::npos) << shown;
        EXPECT_EQ(run.out, "") << shown;
        EXPECT_TRUE(entries().empty()) << shown;
        if (arguments.size() > 1 && arguments[1].find("Escape") != std::string::npos) {
            EXPECT_NE(run.err.find("Escape"), std::string::npos) << run.err;
        }
        clear();
    }
}

TEST_F(SnapshotTest, FailureKeepsAnExistingOutputUntouched) {
    const std::string output = path("keep.png");
    {
        std::ofstream keep(output);
        keep << "precious";
    }
    const CommandResult run = runSnapshot({"--keys", "o*abc", output});
    EXPECT_NE(run.exitStatus(), 0);
    EXPECT_EQ(readFile(output), "precious");
    EXPECT_EQ(entries(), std::vector<std::string>{"keep.png"});
}

// A case run by sh in the test's folder, with the tool as $1. The tool's
// standard output is sent to stderr, where it must write exactly one line
// holding `said` (none where `said` is empty); the script then prints what
// it finds, which must be `found`; `picture`, if named, must be a valid PNG.
struct OutputCase {
    const char* what;
    const char* script;
    const char* found;
    const char* said;
    const char* picture;
};

const OutputCase kOutputCases[] = {
    {"an existing file is replaced, keeping its mode",
     "echo old > f.png && chmod 600 f.png && \"$1\" --size 2x2 f.png >&2; stat -c %a f.png; ls -A",
     "600\nf.png\n", "wrote", "f.png"},
    {"a link's target is written and the link kept",
     "echo old > real.png && ln -s real.png link.png && \"$1\" --size 2x2 link.png >&2; "
     "stat -c %F link.png", "symbolic link\n", "wrote", "real.png"},
    {"a dangling link's target is made",
     "ln -s new.png link.png && \"$1\" --size 2x2 link.png >&2; stat -c %F link.png",
     "symbolic link\n", "wrote", "new.png"},
    {"a FIFO is written, not replaced",
     "mkfifo p && { cat p > copy.png & } && \"$1\" --size 3x2 p >&2; wait; stat -c %F p", "fifo\n",
     "wrote", "copy.png"},
    {"- sends the picture alone to standard output",
     "\"$1\" --size 3x2 - | cat > piped.png; ls -A", "piped.png\n", "standard output", "piped.png"},
    // The status says whether the file was written; the closing line is
    // only said.
    {"a closed standard output leaves a written file written, status 0",
     "echo old > f.png && \"$1\" --size 2x2 f.png >&-; echo $?", "0\n", "", "f.png"},
    // Nor does a file opened after it take its number and the closing line.
    {"a FIFO written with standard output closed holds the PNG alone",
     "mkfifo p && { cat p > copy.png & } && \"$1\" --size 3x2 p >&-; wait; tail -c 4 copy.png | od -An -tx1",
     " ae 42 60 82\n", "", "copy.png"},
    // The reader is gone before the tool starts, so the write meets no one.
    {"a reader gone from standard output is a failure in one line, not a silent SIGPIPE",
     "exec 3>&1; { until [ -e gone ]; do sleep 0.01; done; env --default-signal=PIPE \"$1\" --size 8x8 -; "
     "echo $? >&3; } | { exec 0<&-; touch gone; }", "1\n", "standard output: Broken pipe", ""},
    {"a directory is refused before the GL is opened (here none can be)",
     "mkdir d && __EGL_VENDOR_LIBRARY_FILENAMES=/none \"$1\" --size 8192x8192 d; echo $?; ls -A d",
     "1\n", "'d': Is a directory", ""},
    {"a size beyond the memory limit is refused",
     "ulimit -v 3200000 && \"$1\" --size 16384x16384 big.png; echo $?; ls -A", "1\n",
     "not enough memory", ""},
    {"a signal while the output is open leaves nothing",
     "for s in INT TERM HUP; do env --default-signal \"$1\" --size 4096x4096 big.png & "
     "until ls -l /proc/$!/fd 2>/dev/null | grep -q \"$(pwd -P)/.\" || ! kill -0 $! 2>/dev/null; "
     "do sleep 0.01; done; kill -$s $!; wait $! 2>/dev/null; echo $?; done; ls -A",
     "130\n143\n129\n", "", ""},
};

// In a mount namespace of their own, with a 4 KiB tmpfs on m, where device
// nodes are made: never the machine's own.
const OutputCase kMountedOutputCases[] = {
    {"a device is written and stays a device",
     "mknod m/null c 1 3 && \"$1\" --size 2x2 m/null >&2; echo $?; stat -c %F m/null",
     "0\ncharacter special file\n", "wrote", ""},
    {"a full device is named in one line",
     "mknod m/full c 1 7 && \"$1\" --size 64x64 m/full; echo $?",
     "1\n", "'m/full': No space left on device", ""},
    {"a full disk is named in one line and keeps nothing",
     "\"$1\" --size 500x500 m/out.png; echo $?; ls -A m", "1\n",
     "'m/out.png': No space left on device", ""},
    {"a full standard output leaves a written file written, status 0",
     "mknod m/full c 1 7 && \"$1\" --size 2x2 f.png > m/full; echo $?", "0\n", "", "f.png"},
    {"help to a full standard output fails",
     "mknod m/full c 1 7 && \"$1\" --help > m/full; echo $?", "1\n",
     "standard output: No space left on device", ""},
};

class OutputTest : public SnapshotTest {
protected:
    void check(const OutputCase& row, bool ownMounts) {
        std::vector<std::string> command{"sh", "-c", std::string("cd \"$2\" || exit 1; ") +
                                                         (ownMounts ? kMount : "") + row.script,
                                         "sh", kSnapshotProgram, folder()};
        if (ownMounts) command.insert(command.begin(), {"unshare", "-m"});
        const CommandResult result = runCommand(command, "");
        EXPECT_EQ(result.out, row.found) << row.what << "\n" << result.err;
        EXPECT_EQ(countLines(result.err), *row.said != '\0') << row.what << "\n" << result.err;
        EXPECT_NE(result.err.find(row.said), std::string::npos) << row.what << "\n" << result.err;
        if (*row.picture != '\0') {
            EXPECT_NO_THROW(readPng(path(row.picture))) << row.what;
        }
        clear();
    }

    static constexpr const char* kMount = "mkdir m && mount -t tmpfs -o size=4k none m || exit 1; ";
};

TEST_F(OutputTest, OutputsAreWrittenWhereTheyPointAndNeverLeftHalfDone) {
    for (const OutputCase& row : kOutputCases) check(row, false);
}

TEST_F(OutputTest, DevicesAndFullDisksInAMountNamespace) {
    if (!runCommand({"unshare", "-m", "true"}, "").succeeded()) {
        GTEST_SKIP() << "SKIPPED: unshare -m is not allowed here, so the device and full-disk"
                        " cases cannot run: run the tests as root";
    }
    for (const OutputCase& row : kMountedOutputCases) check(row, true);
}

}  // namespace
