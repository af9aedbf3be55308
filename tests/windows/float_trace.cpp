// Plays fixed key runs through the program's key callbacks and prints, after
// every press, each field of the scene state as its exact bits and a digest
// of the frame display() then draws (every argument of every call, exactly).
// Built for Linux and for Windows; the two printouts must be the same line
// for line. Every value the keys store passes through the C library's sin
// and cos (glibc's on Linux; in the Windows build mingw-w64's own, which
// work on the x87 unit) and a rounding from double to float, so this is
// where two runtimes would part, and the first differing line says at which
// press and in which field.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "app/frame.h"
#include "gl_recorder.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"
#include "viewer/scene_state.h"

namespace {

// A key held for a number of presses: a character key, or (special) an
// arrow key's GLUT code. The frame's vertices follow from the gates alone
// (the eye reaches it only as gluLookAt's arguments, which are the eye
// fields printed anyway), so the frame is drawn and digested after a gate's
// keys only: after every press, the run under Wine takes several times as
// long and shows nothing more.
struct KeyRun {
    const char* name;
    int code;
    bool special;
    int presses;
    bool movesGate;
};

// Each gate and the eye through their whole travel and a step past every
// limit, then all the keys again in a fixed interleaving, so that the
// angles are also reached from states no single run gets to.
const KeyRun kRuns[] = {
    {"o", 'o', false, 56, true},
    {"c", 'c', false, 57, true},
    {"x", 'x', false, 56, true},
    {"z", 'z', false, 57, true},
    {"Left", GLUT_KEY_LEFT, true, 200, false},
    {"Right", GLUT_KEY_RIGHT, true, 400, false},
    {"Up", GLUT_KEY_UP, true, 50, false},
    {"Down", GLUT_KEY_DOWN, true, 120, false},
    {"+", '+', false, 80, false},
    {"-", '-', false, 150, false},
};
const KeyRun kMixed[] = {
    {"o", 'o', false, 7, true},
    {"Left", GLUT_KEY_LEFT, true, 13, false},
    {"Up", GLUT_KEY_UP, true, 5, false},
    {"x", 'x', false, 11, true},
    {"+", '+', false, 9, false},
    {"Right", GLUT_KEY_RIGHT, true, 17, false},
    {"c", 'c', false, 3, true},
    {"Down", GLUT_KEY_DOWN, true, 8, false},
    {"z", 'z', false, 4, true},
    {"-", '-', false, 6, false},
};
const int kMixedRounds = 12;

const char* const kFieldNames[] = {
    "eyeX", "eyeY", "eyeZ", "eyeAzimuth", "eyeElevation", "eyeDistance",
    "eyeGroundRadius", "driveGateAngle", "driveGateLeafDX", "driveGateLeafDZ",
    "walkGateAngle", "walkGateLeafDX", "walkGateLeafDZ", "cursorX", "cursorY",
    "cursorZ", "cursorHeight",
};
const int kFieldCount = sizeof kFieldNames / sizeof kFieldNames[0];
static_assert(sizeof(SceneState) == kFieldCount * sizeof(float),
              "every field of the scene state is named here");

// FNV-1a over the function and the exact bytes of every argument of every
// call.
std::uint64_t frameDigest() {
    recorder::clear();
    display();
    std::uint64_t digest = 14695981039346656037ull;
    const auto mix = [&digest](const void* data, std::size_t size) {
        const unsigned char* bytes = static_cast<const unsigned char*>(data);
        for (std::size_t i = 0; i < size; ++i) digest = (digest ^ bytes[i]) * 1099511628211ull;
    };
    for (const GlCall& call : recorder::calls()) {
        mix(&call.fn, sizeof call.fn);
        for (const double arg : call.args) mix(&arg, sizeof arg);
    }
    return digest;
}

void printState(long press, const char* key, bool drawFrame) {
    float fields[kFieldCount];
    std::memcpy(fields, &scene, sizeof fields);
    std::printf("%ld %s", press, key);
    for (const float field : fields) {
        std::uint32_t bits;
        std::memcpy(&bits, &field, sizeof bits);
        std::printf(" %08x", static_cast<unsigned>(bits));
    }
    if (drawFrame) {
        std::printf(" %016llx\n", static_cast<unsigned long long>(frameDigest()));
    } else {
        std::printf(" -\n");
    }
}

void play(const KeyRun& run, long& press) {
    for (int i = 0; i < run.presses; ++i) {
        if (run.special) {
            specialKeys(run.code, 0, 0);
        } else {
            keyboard(static_cast<unsigned char>(run.code), 0, 0);
        }
        printState(++press, run.name, run.movesGate);
    }
}

}  // namespace

int main() {
    std::printf("press key");
    for (const char* name : kFieldNames) std::printf(" %s", name);
    std::printf(" frame\n");

    reshape(500, 500);
    long press = 0;
    printState(press, "start", true);
    for (const KeyRun& run : kRuns) play(run, press);
    for (int round = 0; round < kMixedRounds; ++round) {
        for (const KeyRun& run : kMixed) play(run, press);
    }
    return 0;
}
