// house-export as a running program: where the model goes, and the one
// line it says for each thing it refuses. (The output rules are the
// snapshot tool's library, tested in full with it.)
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/build_paths.h"
#include "support/processes/processes.h"
#include "support/processes/scratch_directory.h"

namespace {

CommandResult runExport(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{kExportProgram};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, "");
}

bool isGlb(const std::string& bytes) { return bytes.compare(0, 4, "glTF") == 0; }

TEST(HouseExport, WritesTheModelWhereItIsToldAndSaysSoOnce) {
    ScratchDirectory directory;
    const std::string file = directory.path("gates.glb");
    CommandResult run = runExport({"--keys", "o*54", "--keys=x*54", file});
    EXPECT_EQ(run.exitStatus(), 0) << run.err;
    EXPECT_EQ(run.out, "wrote a model of 6950 triangles in 22 nodes to '" + file + "'\n");
    EXPECT_TRUE(isGlb(readFile(file)));
    EXPECT_EQ(directory.entries(), std::vector<std::string>{"gates.glb"});

    // With - standard output holds the model alone; the line goes to stderr.
    run = runExport({"--keys", "o*54 x*54", "--", "-"});
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(run.out, readFile(file));
    EXPECT_EQ(run.err, "wrote a model of 6950 triangles in 22 nodes to standard output\n");
}

TEST(HouseExport, RefusesInOneLineAndLeavesNothing) {
    ScratchDirectory directory;
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{}, "no output file given (usage: house-export [--keys \"KEYS\"] OUTPUT.glb)"},
        {{"--keys", "F13", "a.glb"}, "unknown key name 'F13' (see --help)"},
        {{"--keys", "o Escape", "a.glb"}, "key 'Escape' is refused: Escape would end the program (see --help)"},
        {{"--size", "9x9", "a.glb"}, "--size is for --parts and --part-map: the model has no size"},
        {{"--parts", "a.glb"}, "--parts prints the parts and writes no file, yet 'a.glb' was given"},
        {{"--parts", "--part-map", "a.png"}, "--parts and --part-map go apart: give one of them"},
        {{"--parts=all"}, "option --parts takes no value"},
        {{"--part-map", "a.png", "b.png"}, "more than one output file given ('a.png' and 'b.png')"},
        {{"a.glb", "--part-map=b.png"}, "more than one output file given ('a.glb' and 'b.png')"},
        {{"--parts", "--size", "0x5"}, "bad size '0x5': width and height must be at least 1"},
        {{"--parts", "--size", "12"}, "bad size '12': expected WxH, for example 800x600"},
        {{"--part-map", "a.png", "--size", "16385x2"},
         "size 16385x2 is outside what the part map accepts (1x1 to 16384x16384)"},
        {{"--part-map", "/dev/ptmx"}, "cannot write '/dev/ptmx': it is a terminal, and a PNG would only garble it"},
        {{"a.glb", "--keys"}, "option --keys needs a value"},
        {{"a.glb", "b\n.glb"}, "more than one output file given ('a.glb' and 'b\\n.glb')"},
        {{directory.root()}, "cannot write '" + directory.root() + "': Is a directory"},
        {{directory.path("missing/a.glb")}, "cannot write '" + directory.path("missing/a.glb") +
                                                "': No such file or directory"},
        {{"/dev/full"}, "cannot write '/dev/full': No space left on device"},
        // A pseudo-terminal's master end is a terminal too.
        {{"/dev/ptmx"}, "cannot write '/dev/ptmx': it is a terminal, and a glTF model would only garble it"},
    };
    for (const auto& [arguments, message] : cases) {
        const CommandResult run = runExport(arguments);
        EXPECT_EQ(run.exitStatus(), 1) << message;
        EXPECT_EQ(run.err, "house-export: " + message + "\n");
        EXPECT_EQ(run.out, "");
    }
    EXPECT_TRUE(directory.entries().empty());
}

// The status says whether the model was written: not the closing line,
// which is only said, and a reader gone from standard output is a failure
// like a full disk. Each script prints the status and the file's first
// bytes; the reader of the pipe is gone before the tool starts.
TEST(HouseExport, StatusSaysWhetherTheModelWasWritten) {
    const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
        {"\"$1\" --keys o*54 old.glb >&-; echo $?; head -c 4 old.glb", "0\nglTF", ""},
        {"\"$1\" --keys o*54 old.glb > /dev/full; echo $?; head -c 4 old.glb", "0\nglTF", ""},
        {"exec 3>&1; { until [ -e gone ]; do sleep 0.01; done; env --default-signal=PIPE \"$1\" -; "
         "echo $? >&3; } | { exec 0<&-; touch gone; }; head -c 4 old.glb",
         "1\nold\n", "house-export: cannot write standard output: Broken pipe\n"},
    };
    for (const auto& [script, found, said] : cases) {
        ScratchDirectory directory;
        {
            std::ofstream old(directory.path("old.glb"));
            old << "old\n";
        }
        const CommandResult result = runCommand(
            {"sh", "-c", "cd \"$2\" && " + script, "sh", kExportProgram, directory.root()}, "");
        EXPECT_EQ(result.out, found) << script;
        EXPECT_EQ(result.err, said) << script;
    }
}

// One line a part in view, largest first: name, share, size across x
// deep x high in metres and a gate's state, apart by two spaces or more.
TEST(HouseExport, ListsThePartsInViewLargestFirst) {
    const std::string starting =
        "paving and garage ramp   14.3%  28.0 x 19.0 x 0.2 m\n"
        "front fence               8.2%  24.0 x 0.2 x 1.2 m\n"
        "ground                    5.4%  28.0 x 28.0 x 0.0 m\n"
        "roof                      4.5%  13.0 x 9.0 x 2.0 m\n"
        "walls                     4.1%  12.0 x 8.0 x 2.3 m\n"
        "walk gate                 2.4%  1.3 x 0.0 x 1.1 m  shut\n"
        "garage door               2.3%  3.4 x 0.0 x 2.1 m\n"
        "drive gate                1.5%  4.8 x 0.0 x 1.1 m  shut\n"
        "foundation and terrace    0.7%  12.0 x 8.0 x 0.2 m\n"
        "windows                   0.6%  12.1 x 6.1 x 1.2 m\n"
        "front door                0.6%  1.2 x 0.0 x 2.0 m\n"
        "porch                     0.6%  3.0 x 3.3 x 3.3 m\n"
        "back fence                0.4%  24.0 x 0.2 x 1.2 m\n"
        "right fence               0.3%  0.2 x 24.0 x 1.2 m\n"
        "left fence                0.3%  0.2 x 24.0 x 1.2 m\n"
        "chimneys                  0.1%  6.6 x 1.7 x 0.7 m\n"
        "eaves                     0.0%  13.0 x 9.0 x 0.0 m\n";
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--parts"}, starting},
        {{"--parts", "--keys", "Up*40 +*69", "--size", "120x90"},
         "roof                     43.7%  13.0 x 9.0 x 2.0 m\n"
         "paving and garage ramp   36.1%  28.0 x 19.0 x 0.2 m\n"},
        {{"--parts", "--keys=o*54 x*20"},
         "walk gate                 1.5%  1.1 x 0.7 x 1.1 m  open 34\u00b0\n"
         "drive gate                0.3%  5.0 x 2.4 x 1.1 m  open 93\u00b0\n"},
    };
    for (const auto& [arguments, listed] : cases) {
        const CommandResult run = runExport(arguments);
        EXPECT_EQ(run.exitStatus(), 0) << run.err;
        // The rows asked for, in the order listed.
        std::string found;
        for (size_t at = 0, end; (end = run.out.find('\n', at)) != std::string::npos; at = end + 1) {
            const std::string row = run.out.substr(at, end + 1 - at);
            if (listed.find(row) != std::string::npos) found += row;
        }
        EXPECT_EQ(found, listed);
        EXPECT_EQ(run.err, "");
    }
    // The map's picture alone on standard output.
    const CommandResult map = runExport({"--part-map", "-", "--size", "20x10"});
    EXPECT_EQ(map.exitStatus(), 0);
    EXPECT_EQ(map.out.compare(1, 3, "PNG"), 0);
    const std::string said = "17  windows\nwrote a 20x10 part map to standard output\n";
    EXPECT_EQ(map.err.substr(map.err.size() - said.size()), said);
}

TEST(HouseExport, SaysItsVersionAndHowToUseIt) {
    CommandResult run = runExport({"--version", "a.glb"});
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(run.out, std::string("house-export ") + HOUSE_VERSION + "\n");
    run = runExport({"--help"});
    EXPECT_EQ(run.exitStatus(), 0);
    EXPECT_EQ(run.out.rfind("usage: house-export [--keys \"KEYS\"] OUTPUT.glb\n", 0), 0u);
}

}  // namespace
