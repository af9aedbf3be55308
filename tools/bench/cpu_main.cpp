// house-bench-cpu: runs the program's own frame against the counting
// stand-in, with no GL underneath, and times it; optionally takes one frame
// down as world-space triangles for house-bench to replay.
//
//   house-bench-cpu [--frames N] [--dump FILE]
//
// Prints one "name value" pair a line, for house-bench to read.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/frame.h"
#include "capture_gl.h"
#include "triangle_file.h"

namespace {

const int kDefaultFrames = 200;
// Enough frames to page the code and the tables in before timing starts.
const int kWarmUpFrames = 20;
// The window the program opens with; the size changes no call the frame makes.
const int kWindowSize = 500;

struct Options {
    int frames = kDefaultFrames;
    std::string dumpPath;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--frames") == 0 && hasValue) {
            options.frames = std::atoi(argv[++i]);
            if (options.frames < 1) return false;
        } else if (std::strcmp(argv[i], "--dump") == 0 && hasValue) {
            options.dumpPath = argv[++i];
        } else {
            return false;
        }
    }
    return true;
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2.0;
}

double microsecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
        .count();
}

void printShape() {
    capture::start(capture::Mode::Triangles);
    display();
    const capture::Tally& t = capture::tally();
    std::printf("groups %ld\n", t.groups);
    std::printf("quad_groups %ld\n", t.quadGroups);
    std::printf("triangle_groups %ld\n", t.triangleGroups);
    std::printf("polygon_groups %ld\n", t.polygonGroups);
    std::printf("dropped_groups %ld\n", t.droppedGroups);
    std::printf("vertices %ld\n", t.vertices);
    std::printf("colour_changes %ld\n", t.colourChanges);
    std::printf("turns %ld\n", t.turns);
    std::printf("triangles %zu\n", capture::triangles().size() / 3);
    std::printf("net_turn_residual %.3g\n", capture::netTurnResidual());
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseOptions(argc, argv, options)) {
        std::fprintf(stderr, "usage: house-bench-cpu [--frames N>0] [--dump FILE]\n");
        return 2;
    }

    reshape(kWindowSize, kWindowSize);
    printShape();
    if (!options.dumpPath.empty() && !writeTriangles(options.dumpPath, capture::triangles())) {
        std::fprintf(stderr, "house-bench-cpu: cannot write %s\n", options.dumpPath.c_str());
        return 1;
    }

    capture::start(capture::Mode::Counting);
    for (int i = 0; i < kWarmUpFrames; ++i) display();
    capture::start(capture::Mode::Counting);
    std::vector<double> frameMicroseconds;
    frameMicroseconds.reserve(static_cast<size_t>(options.frames));
    for (int i = 0; i < options.frames; ++i) {
        const auto start = std::chrono::steady_clock::now();
        display();
        frameMicroseconds.push_back(microsecondsSince(start));
    }
    std::printf("frames %d\n", options.frames);
    std::printf("calls_per_frame %ld\n", capture::tally().calls / options.frames);
    std::printf("frame_us_median %.3f\n", median(frameMicroseconds));
    std::printf("frame_us_min %.3f\n",
                *std::min_element(frameMicroseconds.begin(), frameMicroseconds.end()));
    return 0;
}
