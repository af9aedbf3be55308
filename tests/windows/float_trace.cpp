// Plays fixed key sequences through the program's key callbacks and prints,
// after every press, each field of the scene state as its exact bits and,
// after a gate's keys, a digest of the frame display() then draws (every
// argument of every call, exactly). Built for Linux and for Windows; the two
// printouts must be the same line for line. Every value the keys store
// passes through the C library's sin and cos (glibc's on Linux; in the
// Windows build mingw-w64's own, which work on the x87 unit) and a rounding
// from double to float, so this is where two runtimes would part, and the
// first differing line says at which press and in which field.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "app/frame.h"
#include "keys/key_sequence.h"
#include "recording/gl_recorder.h"
#include "viewer/scene_state.h"
#include "viewer/window.h"

namespace {

// Each gate and the eye through their whole travel and a step past every
// limit, then all the keys again in a fixed interleaving, so that the
// angles are also reached from states no single run gets to.
const char kThroughTheLimits[] = "o*56 c*57 x*56 z*57 Left*200 Right*400 Up*50 Down*120 +*80 -*150";
const char kInterleaved[] = "o*7 Left*13 Up*5 x*11 +*9 Right*17 c*3 Down*8 z*4 -*6";
const int kInterleavedRounds = 12;

// The frame's vertices follow from the gates alone (the eye reaches it only
// as gluLookAt's arguments, which are the eye fields printed anyway), so it
// is drawn after a gate's keys only: after every press, the run under Wine
// takes several times as long and shows nothing more.
bool movesGate(const KeyPress& press) {
    return !press.special && std::strchr("ocxz", press.code) != nullptr;
}

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

void printState(long press, const std::string& key, bool drawFrame) {
    float fields[kFieldCount];
    std::memcpy(fields, &scene, sizeof fields);
    std::printf("%ld %s", press, key.c_str());
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

// Presses the keys of each word in turn, printing the state after each
// press under the word's key name.
bool play(const std::string& sequence, long& press) {
    std::istringstream words(sequence);
    std::string word;
    while (words >> word) {
        std::vector<KeyPress> presses;
        std::string error;
        if (!parseKeySequence(word, presses, error)) {
            std::fprintf(stderr, "float_trace: %s\n", error.c_str());
            return false;
        }
        const std::string key = word.substr(0, word.find('*'));
        for (const KeyPress& one : presses) {
            pressKeys({one});
            printState(++press, key, movesGate(one));
        }
    }
    return true;
}

}  // namespace

int main() {
    std::printf("press key");
    for (const char* name : kFieldNames) std::printf(" %s", name);
    std::printf(" frame\n");

    reshape(kWindowWidth, kWindowHeight);
    long press = 0;
    printState(press, "start", true);
    if (!play(kThroughTheLimits, press)) return 1;
    for (int round = 0; round < kInterleavedRounds; ++round) {
        if (!play(kInterleaved, press)) return 1;
    }
    return 0;
}
