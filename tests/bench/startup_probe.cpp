#include "bench/startup_probe.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <memory>
#include <stdexcept>

#include "support/processes/processes.h"
#include "support/processes/x_server.h"

namespace {

// The first frame comes in a few seconds even with a cold disk cache.
const double kFirstFrameSeconds = 20;
// Frames GLUT asks for right after the first (a late expose) are start-up,
// not idling, so the idle spell opens this long after the first frame.
const double kSettleSeconds = 0.25;

struct StartupRun {
    double firstSwapSeconds = 0;
    long peakKiB = -1;     // VmHWM right after the first frame
    double idleCpuMs = 0;  // all threads, over the idle spell
    long idleSwaps = 0;
    std::string error;
};

// The swap lines the shim has written since the last call, without waiting.
long swapsReady(int fd) {
    long lines = 0;
    char chunk[256];
    for (ssize_t n; (n = read(fd, chunk, sizeof chunk)) > 0;)
        for (ssize_t i = 0; i < n; ++i) lines += chunk[i] == '\n';
    return lines;
}

void watchIdle(ChildProcess& program, int swaps, double seconds, StartupRun& run) {
    sleepFor(kSettleSeconds);
    swapsReady(swaps);
    const long before = cpuTicks(program.pid());
    sleepFor(seconds);
    const long after = cpuTicks(program.pid());
    run.idleSwaps = swapsReady(swaps);
    run.idleCpuMs = (after - before) * 1000.0 / sysconf(_SC_CLK_TCK);
    if (!program.running() || before < 0 || after < 0)
        run.error = "the program ended by itself while idle: " + program.output();
}

StartupRun startOnce(const StartupSetup& setup, const std::string& display) {
    StartupRun run;
    int swaps[2];
    if (pipe(swaps) != 0) throw std::runtime_error("pipe failed");
    fcntl(swaps[0], F_SETFD, FD_CLOEXEC);
    const double start = monotonicSeconds();
    ChildProcess program(setup.program, {setup.program},
                         environmentWithDisplay(display, {"LD_PRELOAD=" + setup.shim,
                                                          "HOUSE_BENCH_SWAP_FD=" +
                                                              std::to_string(swaps[1])}));
    close(swaps[1]);
    std::string first;
    if (readLines(swaps[0], first, 1, kFirstFrameSeconds)) {
        run.firstSwapSeconds = monotonicSeconds() - start;
        run.peakKiB = statusKiB(program.pid(), "VmHWM");
        fcntl(swaps[0], F_SETFL, O_NONBLOCK);
        watchIdle(program, swaps[0], setup.idleSeconds, run);
    } else {
        run.error = "no first frame within " + std::to_string(int(kFirstFrameSeconds)) +
                    " s: " + program.output();
    }
    close(swaps[0]);
    return run;
}

void timeStartup(benchmark::State& state, const StartupSetup& setup) {
    std::unique_ptr<XServer> server;
    try {
        server = std::make_unique<XServer>();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    double peakMiB = 0, idleCpuMs = 0, idleSwaps = 0;
    for (auto _ : state) {
        const StartupRun run = startOnce(setup, server->display());
        if (!run.error.empty()) {
            state.SkipWithError(run.error.c_str());
            break;
        }
        state.SetIterationTime(run.firstSwapSeconds);
        peakMiB += run.peakKiB / 1024.0;
        idleCpuMs += run.idleCpuMs;
        idleSwaps += run.idleSwaps;
    }
    using benchmark::Counter;
    state.counters["peak_MiB"] = Counter(peakMiB, Counter::kAvgIterations);
    state.counters["idle_cpu_ms"] = Counter(idleCpuMs, Counter::kAvgIterations);
    state.counters["idle_frames"] = Counter(idleSwaps, Counter::kAvgIterations);
    state.counters["idle_s"] = setup.idleSeconds;
}

}  // namespace

void registerStartupBenchmark(const StartupSetup& setup) {
    benchmark::RegisterBenchmark("startup_to_first_swap", timeStartup, setup)
        ->UseManualTime()
        ->Iterations(setup.runs)
        ->Unit(benchmark::kMillisecond);
}
