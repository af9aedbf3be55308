// The model export as a WebAssembly module of its own, apart from the
// page's program: the page loads it only when someone asks for the 3D
// model, and hands it the keys it has delivered to the program. It is the
// same code as house-export (headless/export), on the recording stand-in, so
// for the same keys it gives the same model.
#include <emscripten.h>

#include <cstdio>
#include <string>
#include <vector>

#include "export/part_map.h"
#include "export/scene_model.h"
#include "gltf/glb_writer.h"
#include "keys/key_sequence.h"

namespace {

std::vector<unsigned char> gModel;
std::string gError;
PartMap gPartMap;
std::string gParts;

// The parts in view as JSON, for the page to word as it likes: every
// part's name by its number in the map, and those in view, largest first.
std::string partsJson(const PartsInView& view) {
    std::string json = "{\"names\":[";
    for (size_t i = 0; i < sceneParts().size(); ++i)
        json += std::string(i ? "," : "") + "\"" + sceneParts()[i].name + "\"";
    json += "],\"inView\":[";
    for (size_t i = 0; i < view.parts.size(); ++i) {
        const PartInView& part = view.parts[i];
        char fields[256];
        std::snprintf(fields, sizeof fields,
                      "%s{\"number\":%zu,\"pixels\":%ld,\"percent\":%.3f,\"metres\":[%.3f,%.3f,%.3f]", i ? "," : "",
                      part.part + 1, part.pixels, part.percent, part.metres.x, part.metres.z, part.metres.y);
        json += fields;
        if (part.gate) {
            std::snprintf(fields, sizeof fields, ",\"openDegrees\":%.1f", part.openDegrees);
            json += fields;
        }
        json += "}";
    }
    return json + "]}";
}

}  // namespace

extern "C" {

// Writes the model of the scene after `keys` (in the key language, as
// house-export --keys reads them). Returns its length in bytes, or -1 with
// a one-line reason in houseExportError() for keys it cannot read.
EMSCRIPTEN_KEEPALIVE int houseExportModel(const char* keys) {
    std::vector<KeyPress> presses;
    gModel.clear();
    if (!parseKeySequence(keys, presses, gError)) return -1;
    gModel = glbBytes(sceneDocument(presses, std::string("house-export ") + HOUSE_VERSION));
    return static_cast<int>(gModel.size());
}

// The model houseExportModel wrote last.
EMSCRIPTEN_KEEPALIVE const unsigned char* houseExportBytes() { return gModel.data(); }

EMSCRIPTEN_KEEPALIVE const char* houseExportError() { return gError.c_str(); }

// Works out which part each pixel of the view after `keys` shows, in a
// picture of width x height (part_map.h). Returns how many parts are in
// view, or -1 with a one-line reason in houseExportError().
EMSCRIPTEN_KEEPALIVE int houseExportPartMap(const char* keys, int width, int height) {
    std::vector<KeyPress> presses;
    gPartMap = PartMap{};
    gParts.clear();
    if (!parseKeySequence(keys, presses, gError)) return -1;
    if (width < 1 || height < 1 || width > kMostMapSide || height > kMostMapSide) {
        gError = "size " + std::to_string(width) + "x" + std::to_string(height) +
                 " is outside what the part map accepts (1x1 to " + std::to_string(kMostMapSide) + "x" +
                 std::to_string(kMostMapSide) + ")";
        return -1;
    }
    PartsInView view = partsInView(presses, width, height);
    gPartMap = std::move(view.map);
    gParts = partsJson(view);
    return static_cast<int>(view.parts.size());
}

// The map houseExportPartMap made last: a byte a pixel, top row first,
// the part's number in the names (counted from 1), 0 for the sky.
EMSCRIPTEN_KEEPALIVE const unsigned char* houseExportPartPixels() { return gPartMap.pixels.data(); }

// Its parts, as JSON (partsJson).
EMSCRIPTEN_KEEPALIVE const char* houseExportPartList() { return gParts.c_str(); }

}
