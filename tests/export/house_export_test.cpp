// house-export as a running program: where the model goes, and the one
// line it says for each thing it refuses. (The output rules are the
// snapshot tool's library, tested in full with it.)
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <tuple>
#include <vector>

#include "support/processes/processes.h"
#include "support/processes/scratch_directory.h"

namespace {

CommandResult runExport(const std::vector<std::string>& arguments) {
    std::vector<std::string> command{HOUSE_EXPORT};
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
        {{"--size", "9x9", "a.glb"}, "unknown option '--size' (see --help)"},
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
            {"sh", "-c", "cd \"$2\" && " + script, "sh", HOUSE_EXPORT, directory.root()}, "");
        EXPECT_EQ(result.out, found) << script;
        EXPECT_EQ(result.err, said) << script;
    }
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
