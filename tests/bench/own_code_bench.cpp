// house-bench-cpu: the program's own code in a frame, display() against the
// recording stand-in in counting mode, with no GL underneath: what a frame
// costs before any GL work. Its budget (budgets.h) is a share of the
// 500x500 frame, which house-bench times; the closing line says so.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "app/frame.h"
#include "bench/budgets.h"
#include "recording/gl_recorder.h"
#include "viewer/window.h"

namespace {

void ownCode(benchmark::State& state) {
    recorder::countOnly(true);
    reshape(kWindowWidth, kWindowHeight);
    recorder::clear();
    display();
    state.counters["groups"] = recorder::count(GlFn::Begin);
    state.counters["vertices"] = recorder::count(GlFn::Vertex3f);
    state.counters["colour_changes"] = recorder::count(GlFn::Color3f);
    for (auto _ : state) display();
    recorder::countOnly(false);
}

const auto* const kOwnCode =
    benchmark::RegisterBenchmark("own_code", ownCode)->Unit(benchmark::kMicrosecond);

}  // namespace

// On stderr, so that --benchmark_format=json keeps standard output whole.
int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::fprintf(stderr, "budget, own code at most %g %% of a frame: own_code against house-bench's "
                 "program_frame/%dx%d\n", kOwnCodeShareBudget * 100, kWindowWidth, kWindowHeight);
    return 0;
}
