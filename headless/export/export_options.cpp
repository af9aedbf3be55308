#include "export/export_options.h"

#include "export/part_map.h"
#include "keys/shown_text.h"

const char kExportUsage[] =
    "usage: house-export [--keys \"KEYS\"] OUTPUT.glb\n"
    "       house-export --parts [--keys \"KEYS\"] [--size WxH]\n"
    "       house-export --part-map OUT.png [--keys \"KEYS\"] [--size WxH]\n"
    "\n"
    "Writes the house scene as a 3D model in binary glTF 2.0, which Blender,\n"
    "game engines and web viewers open. KEYS are pressed first, in order,\n"
    "exactly as if typed into the program, so the model holds any view it\n"
    "can show: the gates as they stand and the camera where the eye is.\n"
    "OUTPUT.glb may be - for standard output; a link is written through, a\n"
    "device or FIFO written directly, and a file replaced only once complete.\n"
    "\n"
    "--parts prints instead what the view shows, one line a part, largest\n"
    "first: its name, its share of the picture, its size in metres (across\n"
    "x deep x high) and a gate's opening. --part-map writes which part each\n"
    "pixel shows as a PNG whose red channel is the part's number (0: sky),\n"
    "and prints the numbers.\n"
    "\n"
    "options:\n"
    "  --keys \"KEYS\"  keys to press first, separated by spaces or ~; may be\n"
    "                 given more than once, the sequences are pressed in turn\n"
    "  --parts        print the parts in view rather than write the model\n"
    "  --part-map OUT.png  write the part map rather than the model\n"
    "  --size WxH     the picture --parts and --part-map look at (default\n"
    "                 500x500, as house-snapshot's); each side from 1 to 16384\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "keys:\n"
    "  a printable character other than ~ stands for itself: o c (drive gate\n"
    "  open/close), x z (walk gate open/close), + - (zoom in/out); f and w are\n"
    "  accepted and change nothing in the model. Case matters: O is not o.\n"
    HOUSE_KEY_NAMES_HELP
    "\n"
    "example: house-export --keys \"o*54 x*54\" house-gates-open.glb\n";

namespace {

bool setOption(const std::string& name, const std::string& value, ExportOptions& options,
               std::string& error) {
    if (name == "--parts") {
        options.parts = options.printsOnly = true;
        return true;
    }
    if (name == "--part-map") {
        if (!options.output.empty()) {
            error = secondOutput(options.output, value);
            return false;
        }
        if (value.empty()) {
            error = "option --part-map needs a file name";
            return false;
        }
        options.partMap = true;
        options.output = value;
        return true;
    }
    if (name == "--size") {
        options.sizeGiven = true;
        return parsePictureSize(value, kMostMapSide, "the part map", options.width, options.height, error);
    }
    if (parseKeySequence(value, options.presses, error)) return true;
    error += " (see --help)";
    return false;
}

}  // namespace

bool parseExportOptions(int argc, const char* const* argv, ExportOptions& options,
                        std::string& error) {
    const OptionSetter setOne = [&options](const std::string& name, const std::string& value,
                                           std::string& why) { return setOption(name, value, options, why); };
    if (!readToolCommand(argc, argv, {"--keys", "--part-map", "--size"}, kExportUsage, setOne, options,
                         error, {"--parts"}))
        return false;
    if (options.help || options.version) return true;
    if (options.parts && options.partMap) {
        error = "--parts and --part-map go apart: give one of them";
        return false;
    }
    if (options.parts && !options.output.empty()) {
        error = "--parts prints the parts and writes no file, yet " + quoted(options.output) + " was given";
        return false;
    }
    if (options.sizeGiven && !options.parts && !options.partMap) {
        error = "--size is for --parts and --part-map: the model has no size";
        return false;
    }
    return true;
}
