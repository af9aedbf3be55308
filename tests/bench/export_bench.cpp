// model_export, in house-bench-cpu: house-export's work for the starting
// view without its file, from the keys to the .glb bytes, with what the
// model holds as counters; and part_map, what --parts does for the
// starting view at 200x200, from the keys to the list.
#include <benchmark/benchmark.h>

#include "export/part_map.h"
#include "export/scene_model.h"
#include "gltf/glb_writer.h"

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

void partMap(benchmark::State& state) {
    const int side = int(state.range(0));
    PartsInView view;
    for (auto _ : state) view = partsInView({}, side, side);
    long named = 0;
    for (const PartInView& part : view.parts) named += part.pixels;
    state.counters["parts"] = double(view.parts.size());
    state.counters["named_pixels"] = double(named);
}

const auto* const kPartMap =
    benchmark::RegisterBenchmark("part_map", partMap)->Arg(200)->Arg(500)->Unit(benchmark::kMillisecond);

const auto* const kModelExport =
    benchmark::RegisterBenchmark("model_export", modelExport)->Unit(benchmark::kMillisecond);

}  // namespace
