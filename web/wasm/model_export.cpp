// The model export as a WebAssembly module of its own, apart from the
// page's program: the page loads it only when someone asks for the 3D
// model, and hands it the keys it has delivered to the program. It is the
// same code as house-export (headless/export), on the recording stand-in, so
// for the same keys it gives the same model.
#include <emscripten.h>

#include <string>
#include <vector>

#include "export/glb_writer.h"
#include "export/scene_model.h"
#include "keys/key_sequence.h"

namespace {

std::vector<unsigned char> gModel;
std::string gError;

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

}
