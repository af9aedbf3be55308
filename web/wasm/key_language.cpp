// The key language (headless/keys) for the page's scripts: the program's
// own reader and writer, so that the words in a link or on a button mean
// what house-snapshot --keys reads, with the same messages. Text and runs
// pass through buffers kept here, so the page needs no allocator of its
// own; key_language.js turns these calls into Module.parseKeys and
// Module.formatKeys.
#include <emscripten.h>

#include <string>
#include <vector>

#include "keys/key_sequence.h"

namespace {

std::string gText;
std::vector<int> gPresses;  // special << 8 | code
std::vector<int> gRuns;     // special, code, count for each run
std::string gWritten;
std::string gError;

}  // namespace

extern "C" {

// Room for `bytes` bytes of text for the next call to read.
EMSCRIPTEN_KEEPALIVE char* houseKeyText(int bytes) {
    gText.assign(static_cast<size_t>(bytes > 0 ? bytes : 0) + 1, '\0');
    return &gText[0];
}

// Reads the first `length` bytes of the text: returns how many presses it
// spells, at houseKeyPresses(), or -1 with the reader's one-line message
// at houseKeyError().
EMSCRIPTEN_KEEPALIVE int houseParseKeys(int length) {
    std::vector<KeyPress> presses;
    gPresses.clear();
    if (!parseKeySequence(gText.substr(0, static_cast<size_t>(length)), presses, gError)) return -1;
    for (const KeyPress& press : presses) gPresses.push_back((press.special ? 0x100 : 0) | press.code);
    return static_cast<int>(gPresses.size());
}

EMSCRIPTEN_KEEPALIVE const int* houseKeyPresses() { return gPresses.data(); }

EMSCRIPTEN_KEEPALIVE const char* houseKeyError() { return gError.c_str(); }

// Room for `runs` runs, three ints each, for houseFormatKeyRuns.
EMSCRIPTEN_KEEPALIVE int* houseKeyRuns(int runs) {
    gRuns.assign(static_cast<size_t>(runs > 0 ? runs : 0) * 3 + 1, 0);
    return gRuns.data();
}

// Writes the first `runs` runs, separated by the first `separatorLength`
// bytes of the text: the words, or null with the message at
// houseKeyError().
EMSCRIPTEN_KEEPALIVE const char* houseFormatKeyRuns(int runs, int separatorLength) {
    std::vector<KeyRun> read;
    for (size_t at = 0; at + 3 <= gRuns.size() && read.size() < static_cast<size_t>(runs); at += 3)
        read.push_back(KeyRun{KeyPress{gRuns[at] != 0, gRuns[at + 1]}, gRuns[at + 2]});
    if (!formatKeyRuns(read, gText.substr(0, static_cast<size_t>(separatorLength)), gWritten, gError))
        return nullptr;
    return gWritten.c_str();
}

}
