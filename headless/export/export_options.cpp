#include "export/export_options.h"

const char kExportUsage[] =
    "usage: house-export [--keys \"KEYS\"] OUTPUT.glb\n"
    "\n"
    "Writes the house scene as a 3D model in binary glTF 2.0, which Blender,\n"
    "game engines and web viewers open. KEYS are pressed first, in order,\n"
    "exactly as if typed into the program, so the model holds any view it\n"
    "can show: the gates as they stand and the camera where the eye is.\n"
    "OUTPUT.glb may be - for standard output; a link is written through, a\n"
    "device or FIFO written directly, and a file replaced only once complete.\n"
    "\n"
    "options:\n"
    "  --keys \"KEYS\"  keys to press first, separated by spaces or ~; may be\n"
    "                 given more than once, the sequences are pressed in turn\n"
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

bool parseExportOptions(int argc, const char* const* argv, ExportOptions& options,
                        std::string& error) {
    const OptionSetter setKeys = [&options](const std::string&, const std::string& value,
                                            std::string& why) {
        if (parseKeySequence(value, options.presses, why)) return true;
        why += " (see --help)";
        return false;
    };
    return readToolCommand(argc, argv, {"--keys"}, kExportUsage, setKeys, options, error);
}
