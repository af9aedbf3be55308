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
#include "export/pixel_history.h"
#include "export/scene_model.h"
#include "gltf/glb_writer.h"
#include "keys/key_sequence.h"

namespace {

std::vector<unsigned char> gModel;
std::string gError;
PartMap gPartMap;
std::string gParts;
std::string gHistory;

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

// A pixel's history as JSON: each piece that covered it, in drawing order,
// numbered from 1 as the frame's steps are, hiddenBy 0 where it was kept.
std::string historyJson(const std::vector<PieceAtPixel>& history) {
    std::string json = "[";
    for (size_t i = 0; i < history.size(); ++i) {
        const PieceAtPixel& seen = history[i];
        char fields[200];
        std::snprintf(fields, sizeof fields,
                      "%s{\"step\":%zu,\"part\":%zu,\"colour\":\"%s\",\"depth\":%.6f,\"kept\":%s,\"hiddenBy\":%zu}",
                      i ? "," : "", seen.piece + 1, seen.part + 1, hexColour(seen.colour).c_str(), double(seen.depth),
                      seen.kept ? "true" : "false", seen.kept || seen.hiddenBy == kNoPiece ? 0 : seen.hiddenBy + 1);
        json += fields;
    }
    return json + "]";
}

bool checkSize(int width, int height) {
    if (width >= 1 && height >= 1 && width <= kMostMapSide && height <= kMostMapSide) return true;
    gError = "size " + std::to_string(width) + "x" + std::to_string(height) +
             " is outside what the part map accepts (1x1 to " + std::to_string(kMostMapSide) + "x" +
             std::to_string(kMostMapSide) + ")";
    return false;
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
    if (!parseKeySequence(keys, presses, gError) || !checkSize(width, height)) return -1;
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

// Every piece that covered pixel (x, y) of the view after `keys` in a
// picture of width x height, x from the left and y from the top
// (pixel_history.h). Returns how many, or -1 with a one-line reason in
// houseExportError(); the pieces are in houseExportHistory().
EMSCRIPTEN_KEEPALIVE int houseExportPixelHistory(const char* keys, int width, int height, int x, int y) {
    std::vector<KeyPress> presses;
    gHistory.clear();
    if (!parseKeySequence(keys, presses, gError) || !checkSize(width, height)) return -1;
    if (x < 0 || y < 0 || x >= width || y >= height) {
        gError = "pixel " + std::to_string(x) + "," + std::to_string(y) + " is outside the picture";
        return -1;
    }
    const std::vector<PieceAtPixel> history = pixelHistory(presses, width, height, x, y);
    gHistory = historyJson(history);
    return static_cast<int>(history.size());
}

// The pieces houseExportPixelHistory found last, as JSON (historyJson).
EMSCRIPTEN_KEEPALIVE const char* houseExportHistory() { return gHistory.c_str(); }

}
