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
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "gl_frames.h"
#include "processes.h"
#include "startup_probe.h"
#include "triangle_file.h"

namespace {

const int kDefaultFrames = 200;
const int kDefaultStartupRuns = 5;
const double kDefaultIdleSeconds = 1.0;

// The window the program opens with, and a full-HD screen in full screen.
const int kDefaultSizes[][2] = {{500, 500}, {1920, 1080}};

// What the program is asked to reach; reported against, never asserted.
const int kFullWidth = 1920;
const int kFullHeight = 1080;
const double kFrameTargetMs = 8.0;
const double kOwnCodeTargetShare = 0.02;
const double kStartupTargetMs = 300.0;
// An idle process still gets the odd wake-up from the kernel; more than a
// thousandth of the window would mean it works while nothing happens.
const double kIdleCpuTolerance = 0.001;

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

struct CpuFigures {
    bool ok = false;
    std::string error;
    std::map<std::string, std::string> values;
    std::vector<TriangleVertex> triangles;

    double number(const char* key) const {
        const auto found = values.find(key);
        return found == values.end() ? 0.0 : std::atof(found->second.c_str());
    }
    long count(const char* key) const { return static_cast<long>(number(key)); }
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const char* option = argv[i];
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (std::strcmp(option, "--frames") == 0) {
            options.frames = std::atoi(value);
            if (options.frames < 1) return false;
        } else if (std::strcmp(option, "--startup-runs") == 0) {
            options.startupRuns = std::atoi(value);
            if (options.startupRuns < 0) return false;
        } else if (std::strcmp(option, "--idle-seconds") == 0) {
            options.idleSeconds = std::atof(value);
            if (!(options.idleSeconds > 0.0) || options.idleSeconds > 60.0) return false;
        } else if (std::strcmp(option, "--size") == 0) {
            int width = 0, height = 0;
            char end = '\0';
            if (std::sscanf(value, "%dx%d%c", &width, &height, &end) != 2 || width < 1 ||
                height < 1) {
                return false;
            }
            options.sizes.emplace_back(width, height);
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
    return true;
}

std::string cpuModel() {
    std::FILE* file = std::fopen("/proc/cpuinfo", "r");
    if (file == nullptr) return "?";
    char line[512];
    std::string model = "?";
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, "model name", 10) == 0) {
            const char* colon = std::strchr(line, ':');
            if (colon != nullptr) {
                model = colon + 1;
                model.erase(0, model.find_first_not_of(" \t"));
                model.erase(model.find_last_not_of(" \t\n") + 1);
            }
            break;
        }
    }
    std::fclose(file);
    return model;
}

double memoryGiB() {
    std::FILE* file = std::fopen("/proc/meminfo", "r");
    if (file == nullptr) return 0.0;
    char line[256];
    long kb = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::sscanf(line, "MemTotal: %ld kB", &kb) == 1) break;
    }
    std::fclose(file);
    return kb / (1024.0 * 1024.0);
}

// Other work on the machine slows every figure; the load says how much
// there was.
std::string loadAverage() {
    std::FILE* file = std::fopen("/proc/loadavg", "r");
    if (file == nullptr) return "?";
    double one = 0, five = 0, fifteen = 0;
    const int read = std::fscanf(file, "%lf %lf %lf", &one, &five, &fifteen);
    std::fclose(file);
    if (read != 3) return "?";
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f (1, 5, 15 min)", one, five, fifteen);
    return text;
}

// Runs house-bench-cpu once: it times the program's code and writes one
// frame's triangles to a scratch file, read back here and removed.
CpuFigures runCpu(const Options& options) {
    CpuFigures figures;
    const char* tmp = std::getenv("TMPDIR");
    std::string dumpPath = std::string(tmp != nullptr && *tmp ? tmp : "/tmp") +
                           "/house-bench-XXXXXX";
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
        return figures;
    }
    if (!read) {
        figures.error = "cannot read the triangles " + options.cpu + " wrote";
        return figures;
    }
    size_t begin = 0;
    while (begin < output.size()) {
        size_t end = output.find('\n', begin);
        if (end == std::string::npos) end = output.size();
        const std::string line = output.substr(begin, end - begin);
        const size_t space = line.find(' ');
        if (space != std::string::npos) figures.values[line.substr(0, space)] = line.substr(space + 1);
        begin = end + 1;
    }
    figures.ok = true;
    return figures;
}

double medianOf(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

template <typename Field>
double startupMedian(const StartupFigures& figures, Field field) {
    std::vector<double> values;
    for (const StartupRun& run : figures.runs) values.push_back(field(run));
    return medianOf(values);
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

void printMachine(const std::string& load, const std::vector<SizeFigures>& sizes,
                  const StartupFigures& startup) {
    utsname system;
    const bool named = uname(&system) == 0;
    std::printf("Machine\n");
    std::printf("  CPU                    %s, nproc %ld\n", cpuModel().c_str(),
                sysconf(_SC_NPROCESSORS_ONLN));
    std::printf("  memory                 %.1f GiB\n", memoryGiB());
    std::printf("  load average at start  %s\n", load.c_str());
    std::printf("  kernel                 %s %s\n", named ? system.sysname : "?",
                named ? system.release : "?");
    const char* threads = std::getenv("LP_NUM_THREADS");
    std::printf("  LP_NUM_THREADS         %s\n", threads != nullptr ? threads : "(unset: llvmpipe uses one per CPU)");
    for (const SizeFigures& size : sizes) {
        if (size.ok) {
            std::printf("  GL, headless           %s | %s\n", size.renderer.c_str(), size.version.c_str());
            break;
        }
    }
    if (!startup.runs.empty()) {
        std::printf("  GL, program on Xvfb    %s | %s\n", startup.renderer.c_str(),
                    startup.version.c_str());
    }
    std::printf("\n");
}

void printScene(const CpuFigures& cpu) {
    std::printf("One frame of the scene (house-bench-cpu)\n");
    if (!cpu.ok) {
        std::printf("  unavailable: %s\n\n", cpu.error.c_str());
        return;
    }
    std::printf("  glBegin/glEnd groups   %ld (quads %ld, triangles %ld, polygons %ld, other %ld, left out %ld)\n",
                cpu.count("groups"), cpu.count("quad_groups"), cpu.count("triangle_groups"),
                cpu.count("polygon_groups"), cpu.count("other_groups"), cpu.count("dropped_groups"));
    std::printf("  glVertex3f             %ld\n", cpu.count("vertices"));
    std::printf("  glColor3f              %ld\n", cpu.count("colour_changes"));
    std::printf("  glRotatef              %ld (net turn off identity by %s)\n", cpu.count("turns"),
                cpu.values.count("net_turn_residual") ? cpu.values.at("net_turn_residual").c_str() : "?");
    std::printf("  GL/GLU/GLUT calls      %ld\n", cpu.count("calls_per_frame"));
    std::printf("  reference triangles    %zu (one glDrawArrays of %zu vertices)\n\n",
                cpu.triangles.size() / 3, cpu.triangles.size());
}

void printRow(const char* label, const std::vector<SizeFigures>& sizes,
              double (*value)(const SizeFigures&), const char* format) {
    std::printf("  %-38s", label);
    for (const SizeFigures& size : sizes) {
        if (!size.ok) {
            std::printf("%14s", "-");
            continue;
        }
        char cell[32];
        std::snprintf(cell, sizeof cell, format, value(size));
        std::printf("%14s", cell);
    }
    std::printf("\n");
}

void printFrames(const std::vector<SizeFigures>& sizes, const CpuFigures& cpu, int frames,
                 const std::string& imageDirectory) {
    char heading[64];
    std::snprintf(heading, sizeof heading, "Frame time, ms (median of %d)", frames);
    std::printf("%-40s", heading);
    for (const SizeFigures& size : sizes) {
        char cell[32];
        std::snprintf(cell, sizeof cell, "%dx%d", size.width, size.height);
        std::printf("%14s", cell);
    }
    std::printf("\n");
    printRow("(a) program: display()", sizes, [](const SizeFigures& s) { return s.programMs; }, "%.3f");
    printRow("(b) floor: clear + glFinish", sizes, [](const SizeFigures& s) { return s.floorMs; }, "%.3f");
    printRow("(c) reference: one VBO glDrawArrays", sizes, [](const SizeFigures& s) { return s.referenceMs; }, "%.3f");
    printRow("a/b", sizes, [](const SizeFigures& s) { return s.programMs / s.floorMs; }, "%.2f");
    printRow("a/c", sizes, [](const SizeFigures& s) { return s.programMs / s.referenceMs; }, "%.2f");
    printRow("(a) fastest frame", sizes, [](const SizeFigures& s) { return s.programMinMs; }, "%.3f");
    printRow("pixels the scene covers (a)", sizes, [](const SizeFigures& s) { return double(s.scenePixels); }, "%.0f");
    printRow("pixels where (a) and (c) differ", sizes, [](const SizeFigures& s) { return double(s.differingPixels); }, "%.0f");
    printRow("  by more than one 8-bit step", sizes, [](const SizeFigures& s) { return double(s.otherSurfacePixels); }, "%.0f");
    for (const SizeFigures& size : sizes) {
        if (!size.ok) {
            std::printf("  %dx%d unavailable: %s\n", size.width, size.height, size.error.c_str());
        } else if (!imageDirectory.empty()) {
            std::printf("  %dx%d pictures %s %s\n", size.width, size.height,
                        size.imagesWritten ? "written to" : "could not be written to",
                        imageDirectory.c_str());
        }
    }
    std::printf("\n");

    std::printf("Program's own code: display() against a counting stand-in, no GL\n");
    if (!cpu.ok) {
        std::printf("  unavailable: %s\n\n", cpu.error.c_str());
        return;
    }
    const double ownUs = cpu.number("frame_us_median");
    std::printf("  per frame                             %.1f us median (fastest %.1f us)\n",
                ownUs, cpu.number("frame_us_min"));
    std::printf("  %-38s", "share of (a)");
    for (const SizeFigures& size : sizes) {
        char cell[32];
        std::snprintf(cell, sizeof cell, "%.2f %%", size.ok ? 100.0 * ownUs / (1000.0 * size.programMs) : 0.0);
        std::printf("%14s", size.ok ? cell : "-");
    }
    std::printf("\n\n");
}

void printStartup(const StartupFigures& startup, int runsAsked) {
    std::printf("Start-up of the real program under Xvfb (LD_PRELOAD shim; clock starts at fork)\n");
    if (runsAsked == 0) {
        std::printf("  not measured (--startup-runs 0)\n\n");
        return;
    }
    if (startup.runs.empty()) {
        std::printf("  %s: %s\n\n", startup.skipped ? "skipped" : "failed", startup.error.c_str());
        return;
    }
    std::printf("  runs                                  %8zu (medians below)\n", startup.runs.size());
    std::printf("  exec and dynamic linking done         %8.1f ms\n",
                startupMedian(startup, [](const StartupRun& r) { return r.loadedMs; }));
    std::printf("  glutInit returned                     %8.1f ms\n",
                startupMedian(startup, [](const StartupRun& r) { return r.initMs; }));
    std::printf("  glutCreateWindow returned             %8.1f ms\n",
                startupMedian(startup, [](const StartupRun& r) { return r.windowMs; }));
    std::printf("  first glutSwapBuffers returned        %8.1f ms   (each run:",
                startupMedian(startup, [](const StartupRun& r) { return r.firstFrameMs; }));
    for (const StartupRun& run : startup.runs) std::printf(" %.1f", run.firstFrameMs);
    std::printf(")\n");
    std::printf("  peak resident memory (VmHWM) then     %8.1f MiB\n",
                startupMedian(startup, [](const StartupRun& r) { return r.peakResidentKb / 1024.0; }));
    std::printf("  CPU over %.1f s idle after the frame   %8.3f ms   (frames drawn meanwhile: %ld)\n",
                startup.idleSeconds,
                startupMedian(startup, [](const StartupRun& r) { return r.idleCpuMs; }),
                static_cast<long>(startupMedian(startup, [](const StartupRun& r) { return double(r.idleFrames); })));
    if (!startup.ok) std::printf("  stopped early: %s\n", startup.error.c_str());
    std::printf("\n");
}

void printTargets(const std::vector<SizeFigures>& sizes, const CpuFigures& cpu,
                  const StartupFigures& startup) {
    std::printf("Targets (reported, not asserted)\n");
    bool fullFrameMeasured = false;
    for (const SizeFigures& size : sizes) {
        if (!size.ok || size.width != kFullWidth || size.height != kFullHeight) continue;
        fullFrameMeasured = true;
        std::printf("  %dx%d frame (a) <= %.0f ms median    %8.3f ms    %s\n", size.width,
                    size.height, kFrameTargetMs, size.programMs,
                    verdict(size.programMs <= kFrameTargetMs));
    }
    if (!fullFrameMeasured) {
        std::printf("  %dx%d frame (a) <= %.0f ms median    not measured\n", kFullWidth,
                    kFullHeight, kFrameTargetMs);
    }
    for (const SizeFigures& size : sizes) {
        if (!cpu.ok || !size.ok) continue;
        const double share = cpu.number("frame_us_median") / (1000.0 * size.programMs);
        char label[64];
        std::snprintf(label, sizeof label, "own code < %.0f %% of the %dx%d frame",
                      100.0 * kOwnCodeTargetShare, size.width, size.height);
        std::printf("  %-38s%8.2f %%     %s\n", label, 100.0 * share,
                    verdict(share < kOwnCodeTargetShare));
    }
    if (!startup.runs.empty()) {
        const double first = startupMedian(startup, [](const StartupRun& r) { return r.firstFrameMs; });
        std::printf("  start-up to first frame < %.0f ms      %8.1f ms    %s\n", kStartupTargetMs,
                    first, verdict(first < kStartupTargetMs));
        const double idleMs = startupMedian(startup, [](const StartupRun& r) { return r.idleCpuMs; });
        const double idleFrames = startupMedian(startup, [](const StartupRun& r) { return double(r.idleFrames); });
        const bool idle = idleFrames == 0 && idleMs >= 0 &&
                          idleMs <= kIdleCpuTolerance * 1000.0 * startup.idleSeconds;
        std::printf("  idle CPU 0 (no frames, <= 0.1 %% CPU)   %8.3f ms    %s\n", idleMs, verdict(idle));
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr,
                     "usage: house-bench [--frames N>0] [--size WxH]... [--startup-runs R>=0]\n"
                     "                   [--idle-seconds S]\n"
                     "                   [--images DIR] [--program PATH] [--cpu PATH] [--shim PATH]\n");
        return 2;
    }

    const std::string load = loadAverage();
    // One thing at a time, so no measurement shares the CPUs with another.
    const CpuFigures cpu = runCpu(options);
    std::vector<SizeFigures> sizes;
    if (options.sizes.empty()) {
        for (const auto& size : kDefaultSizes) options.sizes.emplace_back(size[0], size[1]);
    }
    for (const auto& size : options.sizes) {
        sizes.push_back(measureSize(size.first, size.second, options.frames, cpu.triangles,
                                    options.imageDirectory));
    }
    const StartupFigures startup =
        options.startupRuns > 0
            ? probeStartup(options.program, options.shim, options.startupRuns, options.idleSeconds)
            : StartupFigures();

    std::printf("house-bench: %d frames a figure, medians\n\n", options.frames);
    printMachine(load, sizes, startup);
    printScene(cpu);
    printFrames(sizes, cpu, options.frames, options.imageDirectory);
    printStartup(startup, options.startupRuns);
    printTargets(sizes, cpu, startup);

    bool ok = cpu.ok && (options.startupRuns == 0 || startup.ok || startup.skipped);
    for (const SizeFigures& size : sizes) ok = ok && size.ok;
    return ok ? 0 : 1;
}
