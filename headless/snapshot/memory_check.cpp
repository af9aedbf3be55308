#include "snapshot/memory_check.h"

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <limits>

namespace {

// Memory one frame takes per pixel: the GL's colour (RGBA) and depth
// buffers, 4 bytes each, and the RGB read-back; libpng encodes a row at a
// time. Beyond that, Mesa's software renderer (LLVM and its rasteriser
// threads) maps about 280 MiB of address space for a small frame and 600
// MiB from 4096x4096 up, but keeps under 100 MiB of it resident.
const unsigned long long kFrameBytesPerPixel = 11;
const unsigned long long kRendererAddressSpace = 600ULL << 20;
const unsigned long long kRendererResident = 128ULL << 20;
const double kGibibyte = 1024.0 * 1024.0 * 1024.0;

long long memInfoBytes(const std::string& label) {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    long long kibibytes = 0;
    while (meminfo >> name >> kibibytes) {
        if (name == label + ":") return kibibytes * 1024;
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return -1;
}

unsigned long long softLimit(decltype(RLIMIT_AS) resource) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return std::numeric_limits<unsigned long long>::max();
    return limit.rlim_cur;
}

std::string refusal(int width, int height, int supersample, unsigned long long needed,
                    const char* what, unsigned long long allowed) {
    char message[320];
    const std::string drawn = supersample == 1 ? "" : " drawn " + std::to_string(supersample) +
                                                          " times as wide and high";
    std::snprintf(message, sizeof message,
                  "not enough memory for a %dx%d image%s: it needs about %.1f GiB, and %s %.1f GiB",
                  width, height, drawn.c_str(), static_cast<double>(needed) / kGibibyte, what,
                  static_cast<double>(allowed) / kGibibyte);
    return message;
}

}  // namespace

MemoryRoom memoryRoomNow() {
    return MemoryRoom{std::min(softLimit(RLIMIT_AS), softLimit(RLIMIT_DATA)),
                      memInfoBytes("MemAvailable"), memInfoBytes("SwapFree")};
}

std::string memoryRefusal(int width, int height, int supersample, const MemoryRoom& room) {
    const unsigned long long factor = static_cast<unsigned long long>(supersample);
    const unsigned long long pixels = static_cast<unsigned long long>(width) *
                                      static_cast<unsigned long long>(height) * factor * factor;
    const unsigned long long frame = kFrameBytesPerPixel * pixels;
    if (frame + kRendererAddressSpace > room.processLimit)
        return refusal(width, height, supersample, frame + kRendererAddressSpace,
                       "the process may use", room.processLimit);
    const unsigned long long spare =
        static_cast<unsigned long long>(room.available + std::max(room.swapFree, 0LL));
    if (room.available >= 0 && frame + kRendererResident > spare)
        return refusal(width, height, supersample, frame + kRendererResident, "the machine has",
                       spare);
    return "";
}
