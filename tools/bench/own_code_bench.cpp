// house-bench-cpu: the program's own code in a frame, display() against the
// recording stand-in in counting mode, with no GL underneath: what a frame
// costs before any GL work.
#include <benchmark/benchmark.h>

#include "app/frame.h"
#include "viewer/window.h"
#include "gl_recorder.h"

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

BENCHMARK_MAIN();
