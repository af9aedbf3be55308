// The key language, read against the cases every reader of it shares
// (tests/key_sequences.txt), written back, and pressed through the
// program's callbacks.
#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "keys/key_sequence.h"
#include "keys/shown_text.h"
#include "recording/gl_recorder.h"
#include "scene_test.h"
#include "support/build_paths.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

namespace {

// A sequence as the list writes it: \t, \n, \r, \\ and \xNN for bytes.
std::string unescaped(const std::string& written) {
    std::string text;
    for (size_t at = 0; at < written.size(); ++at) {
        if (written[at] != '\\' || at + 1 == written.size()) {
            text += written[at];
            continue;
        }
        const char kind = written[++at];
        if (kind == 'x') {
            text += static_cast<char>(std::strtol(written.substr(at + 1, 2).c_str(), nullptr, 16));
            at += 2;
        } else {
            text += kind == 't' ? '\t' : kind == 'n' ? '\n' : kind == 'r' ? '\r' : kind;
        }
    }
    return text;
}

// "s100*12 c111" as presses; "-" is none.
std::vector<KeyPress> pressesWritten(const std::string& written) {
    std::vector<KeyPress> presses;
    std::istringstream words(written == "-" ? "" : written);
    for (std::string word; words >> word;) {
        const size_t star = word.find('*');
        const KeyPress press{word[0] == 's', std::atoi(word.c_str() + 1)};
        const long repeat = star == std::string::npos ? 1 : std::atol(word.c_str() + star + 1);
        presses.insert(presses.end(), static_cast<size_t>(repeat), press);
    }
    return presses;
}

// Runs of one press each, as the page records keys before it counts them.
std::vector<KeyRun> runsOf(const std::vector<KeyPress>& presses) {
    std::vector<KeyRun> runs;
    for (const KeyPress& press : presses) runs.push_back(KeyRun{press, 1});
    return runs;
}

std::vector<KeyRun> runsOf(const std::string& sequence) {
    std::vector<KeyPress> presses;
    std::string error;
    EXPECT_TRUE(parseKeySequence(sequence, presses, error)) << error;
    return runsOf(presses);
}

// Every sequence the list reads, written back with either separator,
// reads as the same presses.
void expectWrittenAndReadBack(const std::vector<KeyPress>& presses) {
    for (const std::string separator : {" ", "~"}) {
        std::string text;
        std::string error;
        ASSERT_TRUE(formatKeyRuns(runsOf(presses), separator, text, error)) << error;
        std::vector<KeyPress> read;
        EXPECT_TRUE(parseKeySequence(text, read, error)) << error;
        EXPECT_EQ(read, presses) << text;
    }
}

TEST(KeySequence, ReadsEveryCaseOfTheSharedList) {
    std::ifstream list(kKeySequencesFile);
    ASSERT_TRUE(list) << kKeySequencesFile;
    int cases = 0;
    for (std::string line; std::getline(list, line);) {
        if (line.empty() || line[0] == '#') continue;
        const size_t tab = line.find('\t');
        ASSERT_NE(tab, std::string::npos) << line;
        const std::string expected = line.substr(tab + 1);
        SCOPED_TRACE(line.substr(0, tab));
        // A refused sequence leaves what was there before as it was.
        const bool refused = expected.rfind("error ", 0) == 0;
        const std::vector<KeyPress> before =
            refused ? std::vector<KeyPress>{{false, 'w'}} : std::vector<KeyPress>{};
        std::vector<KeyPress> presses = before;
        std::string error;
        const bool read = parseKeySequence(unescaped(line.substr(0, tab)), presses, error);
        if (refused) {
            EXPECT_FALSE(read);
            EXPECT_EQ(error, expected.substr(6));
            EXPECT_EQ(presses, before);
        } else {
            EXPECT_TRUE(read) << error;
            EXPECT_EQ(presses, pressesWritten(expected));
            expectWrittenAndReadBack(presses);
        }
        ++cases;
    }
    EXPECT_GT(cases, 30);
}

// The limit counts every sequence given, as --keys may be given many times;
// and a word of any length gives a message of one short line.
TEST(KeySequence, TheLimitCountsOverSequencesAndALongWordIsCutShort) {
    std::vector<KeyPress> presses;
    std::string error;
    ASSERT_TRUE(parseKeySequence("o*10000 c*10000 x*10000 z*10000 Left*10000", presses, error));
    ASSERT_TRUE(parseKeySequence("Right*10000 Up*10000 Down*10000 +*10000 -*10000", presses, error));
    EXPECT_EQ(presses.size(), static_cast<size_t>(kMostPresses));
    EXPECT_FALSE(parseKeySequence("o", presses, error));
    EXPECT_EQ(error, "too many key presses: at most 100000 in all");

    EXPECT_FALSE(parseKeySequence(std::string(130000, 'n'), presses, error));
    EXPECT_LT(error.size(), 120u) << error;
    EXPECT_NE(error.find("cut short"), std::string::npos) << error;
}

// Runs written as words: counted, next runs of one key joined, a run
// split at the largest count, and refused with the reader's own limit.
TEST(KeySequence, WritesRunsAsCountedWords) {
    const KeyPress o{false, 'o'};
    const KeyPress left{true, GLUT_KEY_LEFT};
    const struct {
        std::vector<KeyRun> runs;
        const char* separator;
        const char* written;  // or "error " and the message
    } kCases[] = {
        {runsOf("Left Left o*54 +*3"), " ", "Left*2 o*54 +*3"},
        {runsOf("~ space tilde * F12 enter"), "~", "space~tilde~*~F12~enter"},
        {runsOf("F1 f12 pageup PAGEDOWN home end insert tab return backspace delete"), " ",
         "F1 F12 PageUp PageDown Home End Insert tab enter backspace delete"},
        {runsOf("plus minus star asterisk * \\ ! z Z"), ", ", "+, -, **3, \\, !, z, Z"},
        {runsOf("o*10000 o*5"), " ", "o*10000 o*5"},
        {{{o, 6000}, {o, 6000}, {left, 25000}}, "~", "o*10000~o*2000~Left*10000~Left*10000~Left*5000"},
        {{{o, 2}, {o, 0}, {left, -3}, {o, 1}}, " ", "o*3"},
        {{}, " ", ""},
        {{{o, 100000}}, " ", "o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000 o*10000"},
        {{{o, 99999}, {left, 2}}, " ", "error too many key presses: at most 100000 in all"},
        {{{o, 2147483647}, {o, 2147483647}}, " ", "error too many key presses: at most 100000 in all"},
        {{{o, 1}, {{false, 27}, 1}}, " ", "error no word for the key {\"special\":false,\"code\":27,\"count\":1}"},
        {{{{false, 0xe9}, 4}}, " ", "error no word for the key {\"special\":false,\"code\":233,\"count\":4}"},
        {{{{true, 200}, 0}, {{false, -5}, 2}}, " ", "error no word for the key {\"special\":false,\"code\":-5,\"count\":2}"},
        {{{{true, GLUT_KEY_F1 + 12}, 1}}, " ", "error no word for the key {\"special\":true,\"code\":13,\"count\":1}"},
    };
    for (const auto& test : kCases) {
        SCOPED_TRACE(test.written);
        std::string text = "before";
        std::string error;
        const bool written = formatKeyRuns(test.runs, test.separator, text, error);
        const std::string expected = test.written;
        if (expected.rfind("error ", 0) == 0) {
            EXPECT_FALSE(written);
            EXPECT_EQ(error, expected.substr(6));
            EXPECT_EQ(text, "before");
        } else {
            EXPECT_TRUE(written) << error;
            EXPECT_EQ(text, expected);
        }
    }
}

// The messages' numbers, written without printf, as printf writes them.
TEST(KeySequence, WritesNumbersAsTheStandardLibraryDoes) {
    for (const long number : {0L, 7L, 9L, 10L, 40L, 10000L, 100000L, -1L, -5L, -10L, LONG_MAX, LONG_MIN})
        EXPECT_EQ(decimal(number), std::to_string(number));
}

using KeyPresses = SceneTest;

// Each press reaches the callback GLUT would call for it, in order.
TEST_F(KeyPresses, GoThroughTheProgramsOwnCallbacks) {
    pressKeys({{true, GLUT_KEY_LEFT}, {false, 'o'}, {false, 'o'}, {true, GLUT_KEY_F1}});
    const SceneState pressed = scene;
    scene = kInitialScene;
    specialKeys(GLUT_KEY_LEFT, 0, 0);
    keyboard('o', 0, 0);
    keyboard('o', 0, 0);
    EXPECT_EQ(pressed.eyeX, scene.eyeX);
    EXPECT_EQ(pressed.eyeZ, scene.eyeZ);
    EXPECT_EQ(pressed.driveGateAngle, scene.driveGateAngle);
    EXPECT_NE(pressed.driveGateAngle, kInitialScene.driveGateAngle);
    EXPECT_EQ(recorder::count(GlFn::GlutPostRedisplay), 4 + 3);
}

}  // namespace
