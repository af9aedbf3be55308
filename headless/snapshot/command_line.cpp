#include "snapshot/command_line.h"


#include "keys/shown_text.h"

namespace {

bool parseSupersample(const std::string& text, Options& options, std::string& error) {
    if (text.size() != 1 || text[0] < '1' || text[0] - '0' > kMostSupersample) {
        error = "bad supersampling factor " + quotedWord(text) +
                ": expected a whole number from 1 to " + std::to_string(kMostSupersample);
        return false;
    }
    options.supersample = text[0] - '0';
    return true;
}

bool setOption(const std::string& name, const std::string& value, Options& options,
               std::string& error) {
    // The renderer's bound is checked when its context is opened.
    if (name == "--size") return parsePictureSize(value, 0, "the renderer", options.width, options.height, error);
    if (name == "--supersample") return parseSupersample(value, options, error);
    if (parseKeySequence(value, options.presses, error)) return true;
    error += " (see --help)";
    return false;
}

}  // namespace

const char kUsage[] =
    "usage: house-snapshot [--size WxH] [--supersample N] [--keys \"KEYS\"] OUTPUT.png\n"
    "\n"
    "Draws one frame of the house scene with no window or display server and\n"
    "saves it as a PNG. KEYS are pressed first, in order, exactly as if typed\n"
    "into the program, so any view it can show can be pictured. OUTPUT.png\n"
    "may be - for standard output; a link is written through, a device or\n"
    "FIFO written directly, and a file replaced only once complete.\n"
    "\n"
    "options:\n"
    "  --size WxH     image size in pixels (default 500x500); each side from 1\n"
    "                 to the renderer's maximum\n"
    "  --supersample N  draw N times as wide and high and average N x N blocks,\n"
    "                 for smooth edges; N from 1 (default) to 8\n"
    "  --keys \"KEYS\"  keys to press before drawing, separated by spaces or ~;\n"
    "                 may be given more than once, the sequences are pressed\n"
    "                 in turn\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
    "\n"
    "keys:\n"
    "  a printable character other than ~ stands for itself: o c (drive gate\n"
    "  open/close), x z (walk gate open/close), + - (zoom in/out); f and w are\n"
    "  accepted but do not change the image size. Case matters: O is not o.\n"
    HOUSE_KEY_NAMES_HELP
    "  Left*12~o*54~+*3 is the same as \"Left*12 o*54 +*3\", as the page's\n"
    "  address writes it.\n"
    "\n"
    "example: house-snapshot --size 1024x768 --keys \"o*54 x*54 Up*30\" gates.png\n";

bool parseCommandLine(int argc, const char* const* argv, Options& options, std::string& error) {
    const OptionSetter setOne = [&options](const std::string& name, const std::string& value,
                                           std::string& why) { return setOption(name, value, options, why); };
    return readToolCommand(argc, argv, {"--size", "--keys", "--supersample"}, kUsage, setOne, options,
                           error);
}
