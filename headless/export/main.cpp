// house-export: writes the scene the program shows after some keys as a 3D
// model in binary glTF. It plays the keys through the program's own
// callbacks against the recording stand-in (no GL, no window) and writes
// what the frame would draw (scene_model.h). With --parts it prints what
// the view shows, part by part, and with --part-map it writes which part
// each pixel shows (part_map.h).
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
#include <vector>

#include "command_line/tool_command_line.h"
#include "export/export_options.h"
#include "export/part_map.h"
#include "export/scene_model.h"
#include "gltf/glb_writer.h"
#include "output/output_file.h"
#include "png/png_writer.h"

namespace {

const char kProgram[] = "house-export";

[[noreturn]] void die(const std::string& message) { failTool(kProgram, message); }

size_t triangles(const GltfDocument& document) {
    size_t count = 0;
    for (const GltfMesh& mesh : document.meshes)
        for (const GltfPrimitive& primitive : mesh.primitives) count += primitive.indices.size() / 3;
    return count;
}

int listParts(const ExportOptions& options) {
    for (const PartInView& part : partsInView(options.presses, options.width, options.height).parts)
        std::printf("%s\n", partLine(part).c_str());
    finishStandardOutput(kProgram);
    return EXIT_SUCCESS;
}

// The map as a picture whose red channel is the part's number, and the
// numbers beside it: every part's, so that a script reads any map alike.
int writePartMap(const ExportOptions& options, OutputFile& output, const std::string& shownOutput) {
    const PartMap map = partsInView(options.presses, options.width, options.height).map;
    std::vector<unsigned char> rgb(map.pixels.size() * 3, 0);
    for (size_t i = 0; i < map.pixels.size(); ++i) rgb[i * 3] = map.pixels[i];
    std::string error;
    if (!writePng(output.stream, map.width, map.height, rgb.data(), error) || !commitOutput(output, error))
        die("cannot write " + shownOutput + ": " + error);
    std::string said;
    for (size_t i = 0; i < sceneParts().size(); ++i)
        said += std::to_string(i + 1) + "  " + sceneParts()[i].name + "\n";
    reportWritten(options, said + "wrote a " + std::to_string(map.width) + "x" + std::to_string(map.height) +
                               " part map to " + shownOutput);
    return EXIT_SUCCESS;
}

int run(int argc, char** argv) {
    prepareOutputs();
    ExportOptions options;
    std::string error;
    if (!parseExportOptions(argc, argv, options, error)) die(error);
    if (options.help || options.version)
        return showHelpOrVersion(kProgram, HOUSE_VERSION, options, kExportUsage);
    if (options.parts) return listParts(options);
    const std::string shownOutput = describeOutput(options.output);
    OutputFile output;
    if (!openOutput(options.output, options.partMap ? "a PNG" : "a glTF model", output, error)) {
        die("cannot write " + shownOutput + ": " + error);
    }
    if (options.partMap) return writePartMap(options, output, shownOutput);

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
