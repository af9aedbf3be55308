// house-export: writes the scene the program shows after some keys as a 3D
// model in binary glTF. It plays the keys through the program's own
// callbacks against the recording stand-in (no GL, no window) and writes
// what the frame would draw (scene_model.h).
//
// Every failure is reported in one line on stderr with status 1, and the
// output is checked before anything is done. It is written as
// output_file.h describes, so a failed or interrupted run leaves no partial
// file and never replaces a device, a link or a directory.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <stdexcept>
#include <string>

#include "command_line/tool_command_line.h"
#include "export/export_options.h"
#include "export/glb_writer.h"
#include "export/scene_model.h"
#include "output/output_file.h"

namespace {

const char kProgram[] = "house-export";

[[noreturn]] void die(const std::string& message) { failTool(kProgram, message); }

size_t triangles(const GltfDocument& document) {
    size_t count = 0;
    for (const GltfMesh& mesh : document.meshes)
        for (const GltfPrimitive& primitive : mesh.primitives) count += primitive.indices.size() / 3;
    return count;
}

int run(int argc, char** argv) {
    prepareOutputs();
    ExportOptions options;
    std::string error;
    if (!parseExportOptions(argc, argv, options, error)) die(error);
    if (options.help || options.version)
        return showHelpOrVersion(kProgram, HOUSE_VERSION, options, kExportUsage);
    const std::string shownOutput = describeOutput(options.output);
    OutputFile output;
    if (!openOutput(options.output, "a glTF model", output, error)) {
        die("cannot write " + shownOutput + ": " + error);
    }

    const GltfDocument document =
        sceneDocument(options.presses, std::string(kProgram) + " " + HOUSE_VERSION);
    const std::vector<unsigned char> bytes = glbBytes(document);
    // A failure leaves nothing: an unfinished replacement has no name.
    if (std::fwrite(bytes.data(), 1, bytes.size(), output.stream) != bytes.size()) {
        die("cannot write " + shownOutput + ": " + std::strerror(errno));
    }
    if (!commitOutput(output, error)) die("cannot write " + shownOutput + ": " + error);
    reportWritten(options, "wrote a model of " + std::to_string(triangles(document)) +
                               " triangles in " + std::to_string(document.nodes.size()) +
                               " nodes to " + shownOutput);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        die("out of memory");
    } catch (const std::logic_error& fault) {
        die(std::string("cannot export this scene: ") + fault.what());
    }
}
