// house-snapshot's command line, read in-process: what each argument vector
// sets, and the one-line message for each it refuses.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "snapshot/command_line.h"
#include "viewer/opengl.h"

namespace {

struct Read {
    bool ok;
    Options options;
    std::string error;
};

Read readArguments(std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), "house-snapshot");
    std::vector<const char*> argv;
    for (const std::string& argument : arguments) argv.push_back(argument.c_str());
    Read read{false, Options(), ""};
    read.ok = parseCommandLine(static_cast<int>(argv.size()), argv.data(), read.options, read.error);
    return read;
}

TEST(CommandLine, TakesSizesKeysAndTheOutputInEitherForm) {
    Read read = readArguments({"--size", "800x400", "--supersample=4", "--keys", "Left*2",
                               "--keys=o~tilde", "out.png"});
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.options.width, 800);
    EXPECT_EQ(read.options.height, 400);
    EXPECT_EQ(read.options.supersample, 4);
    EXPECT_EQ(read.options.output, "out.png");
    const std::vector<KeyPress> pressed = {
        {true, GLUT_KEY_LEFT}, {true, GLUT_KEY_LEFT}, {false, 'o'}, {false, '~'}};
    EXPECT_EQ(read.options.presses, pressed);

    read = readArguments({"--size=1X1", "--", "-"});
    ASSERT_TRUE(read.ok) << read.error;
    EXPECT_EQ(read.options.width, 1);
    EXPECT_EQ(read.options.output, "-");
    read = readArguments({"-"});
    EXPECT_TRUE(read.ok && read.options.output == "-" && read.options.width == kDefaultSize);

    // --help and --version end the reading, whatever follows.
    EXPECT_TRUE(readArguments({"--version", "--colour"}).options.version);
    EXPECT_TRUE(readArguments({"out.png", "-h", "x", "y"}).options.help);
}

TEST(CommandLine, RefusesWhatItCannotTakeInOneLineWithArgumentsEscaped) {
    const std::string tooMany = "o*10000 o*10000 o*10000 o*10000 o*10000";
    const std::string noOutput = "no output file given (usage: house-snapshot [--size WxH] "
                                 "[--supersample N] [--keys \"KEYS\"] OUTPUT.png)";
    std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--size", "0x500", "a.png"}, "bad size '0x500': width and height must be at least 1"},
        {{"--size", "99999999999x10", "a.png"}, "size '99999999999x10' is too large"},
        {{"--size=1\n2", "a.png"}, "bad size '1\\n2': expected WxH, for example 800x600"},
        {{"--supersample=", "a.png"},
         "bad supersampling factor '': expected a whole number from 1 to 8"},
        {{"--size"}, "option --size needs a value"},
        {{"a.png", "--keys"}, "option --keys needs a value"},
        {{"--colour", "red", "a.png"}, "unknown option '--colour' (see --help)"},
        {{"--\x1b[2J", "a.png"}, "unknown option '--\\x1b[2J' (see --help)"},
        {{}, noOutput},
        {{"--keys", "o"}, noOutput},
        {{"a.png", "b\tc.png"}, "more than one output file given ('a.png' and 'b\\tc.png')"},
        {{"--keys", "F13", "a.png"}, "unknown key name 'F13' (see --help)"},
        {{"--keys", "o Esc", "a.png"},
         "key 'Esc' is refused: Escape would end the program (see --help)"},
        {{"--keys", tooMany, "--keys", tooMany, "--keys", "o", "a.png"},
         "too many key presses: at most 100000 in all (see --help)"},
        {{"--pixel", "500,20", "--keys", "o"}, "pixel 500,20 is outside the 500x500 picture"},
        {{"--size", "40x30", "--pixel", "39,30"}, "pixel 39,30 is outside the 40x30 picture"},
        {{"--steps", "--until", "3"}, "--steps and --until go apart: give one of them"},
        {{"--steps", "--size", "9x9"}, "--steps and --size go apart: give one of them"},
        {{"--pixel", "1,1", "--supersample", "2"}, "--pixel and --supersample go apart: give one of them"},
        {{"--until", "7", "--pixel", "1,1"}, "--pixel and --until go apart: give one of them"},
        {{"--steps", "a.png"}, "--steps prints what it finds and writes no file, yet 'a.png' was given"},
        {{"--steps=1"}, "option --steps takes no value"},
        {{"--until", "7"}, noOutput},
    };
    for (const std::string count : {"-1", "abc", "", "1e3", "9999999999"})
        cases.push_back({{"--until", count, "a.png"},
                         "bad piece count '" + count + "': expected a whole number from 0 to the frame's pieces"});
    for (const std::string pixel : {"10", "1,", ",1", "-1,2", "1;2", "1,2,3"})
        cases.push_back({{"--pixel", pixel},
                         "bad pixel '" + pixel + "': expected X,Y from the top left, for example 250,300"});
    for (const std::string size : {"500", "500x", "-5x5"})
        cases.push_back(
            {{"--size", size, "a.png"}, "bad size '" + size + "': expected WxH, for example 800x600"});
    for (const std::string factor : {"0", "9", "2x"})
        cases.push_back({{"--supersample", factor, "a.png"},
                         "bad supersampling factor '" + factor + "': expected a whole number from 1 to 8"});
    for (const auto& [arguments, message] : cases) {
        const Read read = readArguments(arguments);
        EXPECT_FALSE(read.ok) << message;
        EXPECT_EQ(read.error, message);
    }
    const Read longOption = readArguments({"--" + std::string(100000, 'x'), "a.png"});
    EXPECT_LT(longOption.error.size(), 120u) << longOption.error;
}

}  // namespace
