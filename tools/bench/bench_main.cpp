// house-bench: how fast the program draws on this machine's software GL.
//
//   house-bench [--frames N] [--size WxH]... [--startup-runs R] [--idle-seconds S]
//               [--images DIR] [--program PATH] [--cpu PATH] [--shim PATH]
//
// Prints a table; asserts nothing. The figures:
//   (a) the program's own frame, display() on a headless GL context set up
//       as main sets up its window, at 500x500 and 1920x1080;
//   (b) the floor under it: the same clear and finish with nothing drawn;
//   (c) the same triangles from one vertex buffer in one draw, a reference
//       for what a retained renderer would reach; checked to give the same
//       picture as (a);
//   the program's own code per frame, run by house-bench-cpu against a
//   stand-in GL that only counts;
//   start-up to the first frame of the real program under Xvfb, its peak
//   memory after that frame and its CPU use while idle.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "gl_frames.h"
#include "processes.h"
#include "report.h"
#include "startup_probe.h"
#include "triangle_file.h"

namespace {

const int kDefaultFrames = 200;
const int kDefaultStartupRuns = 5;
const double kDefaultIdleSeconds = 1.0;
const double kMostIdleSeconds = 60.0;

// The window the program opens with, and a full-HD screen in full screen.
const int kDefaultSizes[][2] = {{500, 500}, {1920, 1080}};

struct Options {
    int frames = kDefaultFrames;
    int startupRuns = kDefaultStartupRuns;
    double idleSeconds = kDefaultIdleSeconds;
    std::vector<std::pair<int, int>> sizes;  // --size, in the order given
    std::string imageDirectory;
    std::string program = HOUSE_BENCH_PROGRAM;
    std::string cpu = HOUSE_BENCH_CPU;
    std::string shim = HOUSE_BENCH_SHIM;
};

bool parseSize(const char* text, std::pair<int, int>& size) {
    int width = 0, height = 0;
    char rest = '\0';
    if (std::sscanf(text, "%dx%d%c", &width, &height, &rest) != 2) return false;
    if (width < 1 || height < 1) return false;
    size = {width, height};
    return true;
}

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; i += 2) {
        if (i + 1 >= argc) return false;
        const char* option = argv[i];
        const char* value = argv[i + 1];
        if (std::strcmp(option, "--frames") == 0) {
            options.frames = std::atoi(value);
            if (options.frames < 1) return false;
        } else if (std::strcmp(option, "--size") == 0) {
            std::pair<int, int> size;
            if (!parseSize(value, size)) return false;
            options.sizes.push_back(size);
        } else if (std::strcmp(option, "--startup-runs") == 0) {
            options.startupRuns = std::atoi(value);
            if (options.startupRuns < 0) return false;
        } else if (std::strcmp(option, "--idle-seconds") == 0) {
            options.idleSeconds = std::atof(value);
            if (!(options.idleSeconds > 0.0 && options.idleSeconds <= kMostIdleSeconds)) {
                return false;
            }
        } else if (std::strcmp(option, "--images") == 0) {
            options.imageDirectory = value;
        } else if (std::strcmp(option, "--program") == 0) {
            options.program = value;
        } else if (std::strcmp(option, "--cpu") == 0) {
            options.cpu = value;
        } else if (std::strcmp(option, "--shim") == 0) {
            options.shim = value;
        } else {
            return false;
        }
    }
    if (options.sizes.empty()) {
        for (const auto& size : kDefaultSizes) options.sizes.emplace_back(size[0], size[1]);
    }
    return true;
}

void parseValues(const std::string& output, CpuFigures& figures) {
    size_t begin = 0;
    while (begin < output.size()) {
        size_t end = output.find('\n', begin);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(begin, end - begin);
        const size_t space = line.find(' ');
        if (space != std::string::npos) {
            figures.values[line.substr(0, space)] = line.substr(space + 1);
        }
        begin = end + 1;
    }
}

// Runs house-bench-cpu once: it times the program's code and writes one
// frame's triangles to a scratch file, read back here and removed.
CpuFigures runCpu(const Options& options) {
    CpuFigures figures;
    const char* tmp = std::getenv("TMPDIR");
    std::string dumpPath =
        std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/house-bench-XXXXXX";
    const int fd = mkstemp(&dumpPath[0]);
    if (fd < 0) {
        figures.error = "cannot make a scratch file in " + dumpPath;
        return figures;
    }
    close(fd);
    std::string output;
    const int status = runAndRead(
        {options.cpu, "--frames", std::to_string(options.frames), "--dump", dumpPath}, output);
    const bool read = status == 0 && readTriangles(dumpPath, figures.triangles);
    std::remove(dumpPath.c_str());
    if (status != 0) {
        figures.error = options.cpu + " failed (status " + std::to_string(status) + ")";
    } else if (!read) {
        figures.error = "cannot read the triangles " + options.cpu + " wrote";
    } else {
        parseValues(output, figures);
        figures.ok = true;
    }
    return figures;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: house-bench [--frames N>0] [--size WxH]... [--startup-runs R>=0]\n"
                     "                   [--idle-seconds S] [--images DIR]\n"
                     "                   [--program PATH] [--cpu PATH] [--shim PATH]\n");
        return 2;
    }

    BenchResults results;
    results.frames = options.frames;
    results.loadAtStart = loadAverage();
    results.startupRunsAsked = options.startupRuns;
    results.imageDirectory = options.imageDirectory;
    // One thing at a time, so no measurement shares the CPUs with another.
    results.cpu = runCpu(options);
    for (const auto& size : options.sizes) {
        results.sizes.push_back(measureSize(size.first, size.second, options.frames,
                                            results.cpu.triangles, options.imageDirectory));
    }
    if (options.startupRuns > 0) {
        results.startup =
            probeStartup(options.program, options.shim, options.startupRuns, options.idleSeconds);
    }
    printReport(results);

    bool ok = results.cpu.ok &&
              (options.startupRuns == 0 || results.startup.ok || results.startup.skipped);
    for (const SizeFigures& size : results.sizes) ok = ok && size.ok;
    return ok ? 0 : 1;
}
