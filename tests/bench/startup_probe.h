// The real program's start-up on a private Xvfb, as a benchmark: the time
// from fork to the return of its first glutSwapBuffers (seen through a
// preloaded shim), its peak memory then, and its CPU use and frames over an
// idle spell after it.
#ifndef HOUSE_BENCH_STARTUP_PROBE_H
#define HOUSE_BENCH_STARTUP_PROBE_H

#include <string>

struct StartupSetup {
    std::string program;
    std::string shim;
    int runs;
    double idleSeconds;
};

// Registers "startup_to_first_swap", timed by hand over setup.runs starts.
void registerStartupBenchmark(const StartupSetup& setup);

#endif
