#include "tracing/routine_trace.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <link.h>

#include <cstdlib>
#include <cstring>
#include <map>

#define HOUSE_NOT_TRACED __attribute__((no_instrument_function))

namespace {

// The scene's deepest chain is seven routines; deeper calls are counted
// but not kept.
const int kMostKept = 64;
const void* gRunning[kMostKept];
int gDepth = 0;

// Built from the objects of the traced scene (routine_files.cmake): each
// defined routine's symbol and the source file it came from.
struct RoutineFile {
    const char* symbol;
    const char* file;
};
const RoutineFile kRoutineFiles[] = {
#include "routine_files.inc"
};

// The exported symbol whose code holds `routine`, or null.
const char* symbolOf(const void* routine) {
    Dl_info info;
    void* entry = nullptr;
    if (dladdr1(routine, &info, &entry, RTLD_DL_SYMENT) == 0 ||
        info.dli_sname == nullptr || entry == nullptr)
        return nullptr;
    const ElfW(Sym)* symbol = static_cast<const ElfW(Sym)*>(entry);
    // dladdr names the nearest exported symbol before the address: a
    // routine of internal linkage would take its neighbour's name.
    const char* start = static_cast<const char*>(info.dli_saddr);
    const char* at = static_cast<const char*>(routine);
    if (at < start || at >= start + symbol->st_size) return nullptr;
    return info.dli_sname;
}

// "void drawFaces<5>(Face const (&) [5], double)" -> "drawFaces".
std::string bareName(const std::string& signature) {
    size_t end = signature.find('(');
    std::string name = signature.substr(0, end);
    if (size_t angle = name.find('<'); angle != std::string::npos) name.erase(angle);
    if (size_t space = name.rfind(' '); space != std::string::npos) name.erase(0, space + 1);
    return name;
}

}  // namespace

extern "C" {

HOUSE_NOT_TRACED void __cyg_profile_func_enter(void* routine, void*) {
    if (gDepth < kMostKept) gRunning[gDepth] = routine;
    ++gDepth;
}

HOUSE_NOT_TRACED void __cyg_profile_func_exit(void*, void*) { --gDepth; }

}

std::vector<const void*> runningRoutines() {
    return std::vector<const void*>(gRunning, gRunning + (gDepth < kMostKept ? gDepth : kMostKept));
}

std::string routineName(const void* routine) {
    static std::map<const void*, std::string> names;
    if (auto known = names.find(routine); known != names.end()) return known->second;
    std::string name;
    if (const char* symbol = symbolOf(routine)) {
        int status = 0;
        char* signature = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
        name = bareName(signature != nullptr ? signature : symbol);
        std::free(signature);
    }
    return names[routine] = name;
}

std::string routineFile(const void* routine) {
    if (const char* symbol = symbolOf(routine))
        for (const RoutineFile& entry : kRoutineFiles)
            if (std::strcmp(entry.symbol, symbol) == 0) return entry.file;
    return "";
}
