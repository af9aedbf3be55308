// house-snapshot: draws one frame of the scene with no window and no display
// server and saves it as a PNG. It first replays a key sequence through the
// program's own key callbacks, so any view a user can reach with the
// keyboard can be pictured, and it draws with the program's own reshape and
// display on the GL state main sets up.
//
// Every bad input is reported in one line on stderr with a non-zero status
// before anything is drawn, and the image is written to a temporary file
// beside the output and renamed over it only when complete, so a failed run
// never leaves a partial file.
#include "app/frame.h"
#include "offscreen.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

#include <png.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

const char kProgram[] = "house-snapshot";
const int kDefaultSize = 500;
// One key can be pressed at most this often in a row, and a whole sequence
// holds at most kMaxPresses presses. Every reachable view needs a few hundred
// at most (a gate swings fully open in 54, the eye leaves the far plane after
// 162 zoom-outs); the bounds stop a typo like "-*1000000000" from spinning.
const long kMaxRepeat = 10000;
const long kMaxPresses = 100000;
// Sizes are read as at most this many digits before the renderer's own
// limit is consulted, so that the number cannot overflow an int.
const size_t kMaxSizeDigits = 6;

const int kFunctionKeys = 12;

struct Press {
    bool special;  // specialKeys rather than keyboard
    int code;
};

struct NamedKey {
    const char* name;
    bool special;
    int code;
};

// Names for keys that cannot be written as themselves: the separators and
// the repeat mark, control characters, and the special keys. Matched
// without regard to case, unlike single characters ("O" is not "o").
const NamedKey kNamedKeys[] = {
    {"space", false, ' '},       {"plus", false, '+'},
    {"minus", false, '-'},       {"asterisk", false, '*'},
    {"star", false, '*'},        {"tab", false, '\t'},
    {"enter", false, '\r'},      {"return", false, '\r'},
    {"backspace", false, 8},     {"delete", false, 127},
    {"left", true, GLUT_KEY_LEFT},   {"right", true, GLUT_KEY_RIGHT},
    {"up", true, GLUT_KEY_UP},       {"down", true, GLUT_KEY_DOWN},
    {"pageup", true, GLUT_KEY_PAGE_UP}, {"pagedown", true, GLUT_KEY_PAGE_DOWN},
    {"home", true, GLUT_KEY_HOME},   {"end", true, GLUT_KEY_END},
    {"insert", true, GLUT_KEY_INSERT},
};

struct Options {
    int width = kDefaultSize;
    int height = kDefaultSize;
    std::vector<Press> presses;
    std::string output;
    bool help = false;
};

const char kUsage[] =
    "usage: house-snapshot [--size WxH] [--keys \"KEYS\"] OUTPUT.png\n"
    "\n"
    "Draws one frame of the house scene with no window or display server and\n"
    "saves it as a PNG. KEYS are pressed first, in order, exactly as if typed\n"
    "into the program, so any view it can show can be pictured.\n"
    "\n"
    "options:\n"
    "  --size WxH     image size in pixels (default 500x500); each side from 1\n"
    "                 to the renderer's maximum\n"
    "  --keys \"KEYS\"  keys to press before drawing, separated by spaces; may be\n"
    "                 given more than once, the sequences are pressed in turn\n"
    "  --help         show this text\n"
    "\n"
    "keys:\n"
    "  a printable character stands for itself: o c (drive gate open/close),\n"
    "  x z (walk gate open/close), + - (zoom in/out); f and w are accepted\n"
    "  but do not change the image size. Case matters: O is not o.\n"
    "  Left Right Up Down    orbit the camera (arrow keys)\n"
    "  plus minus space asterisk (or star) tab enter backspace delete\n"
    "  F1 to F12, PageUp PageDown Home End Insert\n"
    "  Named keys ignore case. Escape is refused: it would end the program.\n"
    "  NAME*N presses a key N times in a row, N from 1 to 10000; a whole\n"
    "  sequence holds at most 100000 presses.\n"
    "\n"
    "example: house-snapshot --size 1024x768 --keys \"o*54 x*54 Up*30\" gates.png\n";

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    std::exit(EXIT_FAILURE);
}

bool allDigits(const std::string& text) {
    if (text.empty()) {
        return false;
    }
    for (char c : text) {
        if (c < '0' || c > '9') {
            return false;
        }
    }
    return true;
}

// A special key's name or a character key's name, or a single printable
// character; refuses Escape by name.
Press keyNamed(const std::string& name) {
    if (name.size() == 1 && name[0] > ' ' && name[0] < 127) {
        return Press{false, static_cast<unsigned char>(name[0])};
    }
    if (strcasecmp(name.c_str(), "escape") == 0 || strcasecmp(name.c_str(), "esc") == 0) {
        die("key '" + name + "' is refused: Escape would end the program");
    }
    for (const NamedKey& key : kNamedKeys) {
        if (strcasecmp(name.c_str(), key.name) == 0) {
            return Press{key.special, key.code};
        }
    }
    if (name.size() >= 2 && (name[0] == 'F' || name[0] == 'f') && allDigits(name.substr(1)) &&
        name.size() <= 3) {
        const int number = std::atoi(name.c_str() + 1);
        if (number >= 1 && number <= kFunctionKeys) {
            return Press{true, GLUT_KEY_F1 + number - 1};
        }
    }
    die("unknown key name '" + name + "' (see --help)");
}

// NAME or NAME*N. The repeat mark is the last '*' that is not the first
// character, so "*" and "**3" name the asterisk key itself.
void addKeyToken(const std::string& token, std::vector<Press>& presses) {
    const size_t star = token.rfind('*');
    std::string name = token;
    long repeat = 1;
    if (star != std::string::npos && star > 0) {
        name = token.substr(0, star);
        const std::string count = token.substr(star + 1);
        if (!allDigits(count) || count.size() > 5 || std::atol(count.c_str()) < 1 ||
            std::atol(count.c_str()) > kMaxRepeat) {
            die("bad repeat count in '" + token + "': N in NAME*N must be a whole number from 1 to " +
                std::to_string(kMaxRepeat));
        }
        repeat = std::atol(count.c_str());
    }
    const Press press = keyNamed(name);
    if (static_cast<long>(presses.size()) + repeat > kMaxPresses) {
        die("too many key presses: at most " + std::to_string(kMaxPresses) + " in all");
    }
    presses.insert(presses.end(), static_cast<size_t>(repeat), press);
}

void addKeys(const std::string& sequence, std::vector<Press>& presses) {
    size_t at = 0;
    while (at < sequence.size()) {
        const size_t start = sequence.find_first_not_of(" \t\n", at);
        if (start == std::string::npos) {
            break;
        }
        size_t end = sequence.find_first_of(" \t\n", start);
        if (end == std::string::npos) {
            end = sequence.size();
        }
        addKeyToken(sequence.substr(start, end - start), presses);
        at = end;
    }
}

// WxH, each side plain decimal digits. The upper bound is the renderer's
// and is checked when the context is opened.
void parseSize(const std::string& text, Options& options) {
    const size_t cross = text.find_first_of("xX");
    const std::string width = cross == std::string::npos ? text : text.substr(0, cross);
    const std::string height = cross == std::string::npos ? "" : text.substr(cross + 1);
    if (!allDigits(width) || !allDigits(height)) {
        die("bad size '" + text + "': expected WxH, for example 800x600");
    }
    if (width.size() > kMaxSizeDigits || height.size() > kMaxSizeDigits) {
        die("size '" + text + "' is too large");
    }
    options.width = std::atoi(width.c_str());
    options.height = std::atoi(height.c_str());
    if (options.width < 1 || options.height < 1) {
        die("bad size '" + text + "': width and height must be at least 1");
    }
}

// "--name value" and "--name=value" are both accepted; "--" ends options.
Options parseArguments(int argc, char** argv) {
    Options options;
    bool outputSeen = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (outputSeen) {
                die("more than one output file given ('" + options.output + "' and '" + argument +
                    "')");
            }
            options.output = argument;
            outputSeen = true;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            return options;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--size" && name != "--keys") {
            die("unknown option '" + argument + "' (see --help)");
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            die("option " + name + " needs a value");
        }
        if (name == "--size") {
            parseSize(value, options);
        } else {
            addKeys(value, options.presses);
        }
    }
    if (!outputSeen || options.output.empty()) {
        die("no output file given (usage: house-snapshot [--size WxH] [--keys \"KEYS\"] OUTPUT.png)");
    }
    return options;
}

// A temporary file in the output's own directory, so that the final rename
// stays on one file system and replaces the output in one step.
struct PendingFile {
    std::string temporaryPath;
    FILE* stream = nullptr;
};

PendingFile createBeside(const std::string& output) {
    if (output.back() == '/') {
        die("cannot write '" + output + "': it names a directory");
    }
    const size_t slash = output.rfind('/');
    const std::string directory = slash == std::string::npos ? "" : output.substr(0, slash + 1);
    const std::string base = slash == std::string::npos ? output : output.substr(slash + 1);
    std::string pattern = directory + "." + base + ".XXXXXX";
    std::vector<char> path(pattern.begin(), pattern.end());
    path.push_back('\0');
    const int descriptor = mkstemp(path.data());
    if (descriptor < 0) {
        die("cannot write '" + output + "': " + std::strerror(errno));
    }
    // mkstemp makes the file private; give it the mode a plain create would.
    const mode_t mask = umask(0);
    umask(mask);
    fchmod(descriptor, 0666 & ~mask);
    PendingFile pending;
    pending.temporaryPath = path.data();
    pending.stream = fdopen(descriptor, "wb");
    if (pending.stream == nullptr) {
        const int error = errno;
        close(descriptor);
        unlink(pending.temporaryPath.c_str());
        die("cannot write '" + output + "': " + std::strerror(error));
    }
    return pending;
}

void abandon(PendingFile& pending, const std::string& message) {
    if (pending.stream != nullptr) {
        std::fclose(pending.stream);
        pending.stream = nullptr;
    }
    unlink(pending.temporaryPath.c_str());
    die(message);
}

// libpng reports errors by long jump; nothing with a destructor lives
// between the setjmp and the calls that may jump.
bool encodePng(FILE* stream, int width, int height, const unsigned char* rgb) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (png == nullptr) {
        return false;
    }
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, stream);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    for (int row = 0; row < height; ++row) {
        png_write_row(png, rgb + rowBytes * static_cast<size_t>(row));
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

void writePng(PendingFile& pending, const std::string& output, int width, int height,
              const unsigned char* rgb) {
    if (!encodePng(pending.stream, width, height, rgb) || std::fflush(pending.stream) != 0 ||
        std::ferror(pending.stream) != 0) {
        abandon(pending, "cannot write '" + output + "': " + std::strerror(errno));
    }
    FILE* stream = pending.stream;
    pending.stream = nullptr;
    if (std::fclose(stream) != 0) {
        abandon(pending, "cannot write '" + output + "': " + std::strerror(errno));
    }
    if (std::rename(pending.temporaryPath.c_str(), output.c_str()) != 0) {
        abandon(pending, "cannot write '" + output + "': " + std::strerror(errno));
    }
}

void pressAll(const std::vector<Press>& presses) {
    for (const Press& press : presses) {
        if (press.special) {
            specialKeys(press.code, 0, 0);
        } else {
            keyboard(static_cast<unsigned char>(press.code), 0, 0);
        }
    }
}

// The program's start-up at the image size, the keys, then one frame, as
// the program's event loop would call them.
void drawFrame(const Options& options) {
    startProgramFrames(options.width, options.height);
    pressAll(options.presses);
    display();
}

}  // namespace

int main(int argc, char** argv) {
    const Options options = parseArguments(argc, argv);
    if (options.help) {
        std::fputs(kUsage, stdout);
        return EXIT_SUCCESS;
    }
    PendingFile pending = createBeside(options.output);

    char error[256];
    if (!openOffscreen(options.width, options.height, error, sizeof error)) {
        abandon(pending, std::string("cannot draw: ") + error);
    }
    drawFrame(options);
    std::vector<unsigned char> rgb(static_cast<size_t>(options.width) *
                                   static_cast<size_t>(options.height) * 3);
    readOffscreenRGB(rgb.data());
    closeOffscreen();

    writePng(pending, options.output, options.width, options.height, rgb.data());
    std::printf("wrote %dx%d image to %s\n", options.width, options.height, options.output.c_str());
    return EXIT_SUCCESS;
}
