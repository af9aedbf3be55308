// The table house-bench prints, and the facts about the machine it gives
// with the figures.
#ifndef HOUSE_TOOLS_BENCH_REPORT_H
#define HOUSE_TOOLS_BENCH_REPORT_H

#include <map>
#include <string>
#include <vector>

#include "gl_frames.h"
#include "startup_probe.h"
#include "triangle_file.h"

// What house-bench-cpu said: its "name value" lines, and the triangles it
// took down.
struct CpuFigures {
    bool ok = false;
    std::string error;
    std::map<std::string, std::string> values;
    std::vector<TriangleVertex> triangles;

    double number(const char* key) const;
    std::string text(const char* key) const;
};

struct BenchResults {
    int frames = 0;
    std::string loadAtStart;
    CpuFigures cpu;
    std::vector<SizeFigures> sizes;
    int startupRunsAsked = 0;
    StartupFigures startup;
    std::string imageDirectory;
};

// The 1, 5 and 15 minute load averages: other work on the machine slows
// every figure, and this says how much there was.
std::string loadAverage();

void printReport(const BenchResults& results);

#endif
