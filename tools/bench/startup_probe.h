// Starts the real program on a private Xvfb with the first-swap shim
// preloaded, and measures how long it takes to show its first frame, how
// much memory it holds by then, and what it costs while it sits idle.
#ifndef HOUSE_TOOLS_BENCH_STARTUP_PROBE_H
#define HOUSE_TOOLS_BENCH_STARTUP_PROBE_H

#include <string>
#include <vector>

struct StartupRun {
    // Milliseconds from fork to: the shim loaded (exec and dynamic linking
    // done), glutInit returned, glutCreateWindow returned, the first
    // glutSwapBuffers returned.
    double loadedMs = 0;
    double initMs = 0;
    double windowMs = 0;
    double firstFrameMs = 0;
    long peakResidentKb = -1;  // VmHWM right after the first frame
    double idleCpuMs = 0;      // CPU used by all threads over the idle window
    long idleFrames = 0;       // frames drawn over the idle window
};

struct StartupFigures {
    bool skipped = false;  // no Xvfb on this machine
    bool ok = false;
    std::string error;
    std::string renderer;
    std::string version;
    double idleSeconds = 0;
    std::vector<StartupRun> runs;
};

StartupFigures probeStartup(const std::string& program, const std::string& shim, int runs,
                            double idleSeconds);

#endif
