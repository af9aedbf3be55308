// model_export, in house-bench-cpu: house-export's work for the starting
// view without its file, from the keys to the .glb bytes, with what the
// model holds as counters.
#include <benchmark/benchmark.h>

#include "export/glb_writer.h"
#include "export/scene_model.h"

namespace {

void modelExport(benchmark::State& state) {
    size_t bytes = 0;
    GltfDocument document;
    for (auto _ : state) {
        document = sceneDocument({}, "house-bench-cpu");
        bytes = glbBytes(document).size();
    }
    size_t vertices = 0, triangles = 0;
    for (const GltfMesh& mesh : document.meshes)
        for (const GltfPrimitive& primitive : mesh.primitives) {
            vertices += primitive.positions.size();
            triangles += primitive.indices.size() / 3;
        }
    state.counters["bytes"] = double(bytes);
    state.counters["nodes"] = double(document.nodes.size());
    state.counters["materials"] = double(document.materials.size());
    state.counters["vertices"] = double(vertices);
    state.counters["triangles"] = double(triangles);
}

const auto* const kModelExport =
    benchmark::RegisterBenchmark("model_export", modelExport)->Unit(benchmark::kMillisecond);

}  // namespace
