#include "recording/gl_recorder.h"

namespace {

std::vector<GlCall> gCalls;
long gCounts[static_cast<int>(GlFn::Count)] = {};
bool gCountOnly = false;

}  // namespace

namespace recorder {

void add(GlFn fn, std::initializer_list<double> args) {
    ++gCounts[static_cast<int>(fn)];
    if (!gCountOnly) gCalls.push_back(GlCall{fn, std::vector<double>(args), std::string()});
}

void addText(GlFn fn, std::initializer_list<double> args, const char* text) {
    add(fn, args);
    if (!gCountOnly) gCalls.back().text = text;
}

void clear() {
    gCalls.clear();
    for (long& n : gCounts) n = 0;
}

void countOnly(bool on) { gCountOnly = on; }

const std::vector<GlCall>& calls() { return gCalls; }

long count(GlFn fn) { return gCounts[static_cast<int>(fn)]; }

std::vector<std::string> describeAll() {
    std::vector<std::string> lines;
    for (const GlCall& call : gCalls) lines.push_back(describe(call));
    return lines;
}

}  // namespace recorder

