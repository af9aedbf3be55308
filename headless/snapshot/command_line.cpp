#include "snapshot/command_line.h"

#include <cstdlib>

#include "keys/shown_text.h"

namespace {

// Numbers are read as at most this many digits, so that none overflows.
const size_t kMostDigits = 9;

bool isWholeNumber(const std::string& text) {
    if (text.empty() || text.size() > kMostDigits) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool parseUntil(const std::string& text, Options& options, std::string& error) {
    if (!isWholeNumber(text)) {
        error = "bad piece count " + quotedWord(text) + ": expected a whole number from 0 to the frame's pieces";
        return false;
    }
    options.until = std::atol(text.c_str());
    return true;
}

bool parsePixel(const std::string& text, Options& options, std::string& error) {
    const size_t comma = text.find(',');
    const std::string across = text.substr(0, comma);
    const std::string down = comma == std::string::npos ? "" : text.substr(comma + 1);
    if (!isWholeNumber(across) || !isWholeNumber(down)) {
        error = "bad pixel " + quotedWord(text) + ": expected X,Y from the top left, for example 250,300";
        return false;
    }
    options.pixel = options.printsOnly = true;
    options.pixelX = std::atoi(across.c_str());
    options.pixelY = std::atoi(down.c_str());
    return true;
}

// Which of the options given a mode cannot take, as "--a" or "".
std::string clashWith(const Options& options, bool until, bool steps, bool pixel, bool size,
                      bool supersample) {
    if (until && options.until >= 0) return "--until";
    if (steps && options.steps) return "--steps";
    if (pixel && options.pixel) return "--pixel";
    if (size && options.sizeGiven) return "--size";
    if (supersample && options.supersampleGiven) return "--supersample";
    return "";
}

// --steps lists the pieces, which no size changes; --pixel reads one
// pixel of the whole frame, as drawn once; --until draws a picture.
bool checkModes(Options& options, std::string& error) {
    struct Mode {
        bool on;
        const char* name;
        std::string clash;
    };
    const Mode modes[] = {
        {options.steps, "--steps", clashWith(options, true, false, true, true, true)},
        {options.pixel, "--pixel", clashWith(options, true, false, false, false, true)},
        {options.until >= 0, "--until", clashWith(options, false, true, true, false, false)},
    };
    for (const Mode& mode : modes) {
        if (!mode.on) continue;
        if (!mode.clash.empty()) {
            error = std::string(mode.name) + " and " + mode.clash + " go apart: give one of them";
            return false;
        }
        if (options.printsOnly && !options.output.empty()) {
            error = std::string(mode.name) + " prints what it finds and writes no file, yet " +
                    quoted(options.output) + " was given";
            return false;
        }
    }
    if (options.pixel && (options.pixelX >= options.width || options.pixelY >= options.height)) {
        error = "pixel " + std::to_string(options.pixelX) + "," + std::to_string(options.pixelY) +
                " is outside the " + std::to_string(options.width) + "x" + std::to_string(options.height) +
                " picture";
        return false;
    }
    return true;
}

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
    if (name == "--size") {
        options.sizeGiven = true;
        return parsePictureSize(value, 0, "the renderer", options.width, options.height, error);
    }
    if (name == "--supersample") {
        options.supersampleGiven = true;
        return parseSupersample(value, options, error);
    }
    if (name == "--until") return parseUntil(value, options, error);
    if (name == "--pixel") return parsePixel(value, options, error);
    if (name == "--steps") {
        options.steps = options.printsOnly = true;
        return true;
    }
    if (parseKeySequence(value, options.presses, error)) return true;
    error += " (see --help)";
    return false;
}

}  // namespace

const char kUsage[] =
    "usage: house-snapshot [--size WxH] [--supersample N] [--keys \"KEYS\"] OUTPUT.png\n"
    "       house-snapshot --until N [--size WxH] [--supersample N] [--keys \"KEYS\"] OUTPUT.png\n"
    "       house-snapshot --steps [--keys \"KEYS\"]\n"
    "       house-snapshot --pixel X,Y [--keys \"KEYS\"] [--size WxH]\n"
    "\n"
    "Draws one frame of the house scene with no window or display server and\n"
    "saves it as a PNG. KEYS are pressed first, in order, exactly as if typed\n"
    "into the program, so any view it can show can be pictured. OUTPUT.png\n"
    "may be - for standard output; a link is written through, a device or\n"
    "FIFO written directly, and a file replaced only once complete.\n"
    "\n"
    "A frame is a clear and then pieces, each one glBegin ... glEnd group.\n"
    "--until N draws only the first N (0: the cleared sky). --steps prints\n"
    "the pieces in drawing order: number, primitive, vertices, colour, part,\n"
    "the program's routines that drew it (outermost first) and the file of\n"
    "the innermost that is not the shared face emitter. --pixel prints every\n"
    "piece that covered that pixel (x from the left, y from the top), in\n"
    "order: number, part, routine, file, colour, depth, and kept or hidden by\n"
    "the depth test; the last piece kept is what the picture shows.\n"
    "\n"
    "options:\n"
    "  --size WxH     image size in pixels (default 500x500); each side from 1\n"
    "                 to the renderer's maximum\n"
    "  --supersample N  draw N times as wide and high and average N x N blocks,\n"
    "                 for smooth edges; N from 1 (default) to 8\n"
    "  --keys \"KEYS\"  keys to press before drawing, separated by spaces or ~;\n"
    "                 may be given more than once, the sequences are pressed\n"
    "                 in turn\n"
    "  --until N      draw the frame only up to its piece N\n"
    "  --steps        print the frame's pieces rather than draw them\n"
    "  --pixel X,Y    print the history of one pixel rather than draw\n"
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
    if (!readToolCommand(argc, argv, {"--size", "--keys", "--supersample", "--until", "--pixel"}, kUsage, setOne,
                         options, error, {"--steps"}))
        return false;
    return options.help || options.version || checkModes(options, error);
}
