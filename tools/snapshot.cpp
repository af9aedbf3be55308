// house-snapshot: draws one frame of the scene with no window and no display
// server and saves it as a PNG. It first replays a key sequence through the
// program's own key callbacks, so any view a user can reach with the
// keyboard can be pictured, and it draws with the program's own reshape and
// display on the GL state main sets up.
//
// Every failure is reported in one line on stderr with status 1; whatever
// can be checked is checked before anything is drawn. The output is written
// as output_file.h describes, so a failed or interrupted run leaves no
// partial file and never replaces a device, a link or a directory.
#include "app/frame.h"
#include "offscreen.h"
#include "windowless.h"
#include "output_file.h"
#include "viewer/keys.h"
#include "viewer/opengl.h"

#include <png.h>

#include <sys/resource.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <limits>
#include <new>
#include <string>
#include <strings.h>
#include <utility>
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
// Drawing N times as wide and high and averaging N x N blocks smooths the
// edges of small pictures such as icons; 8 is beyond any visible gain.
const int kMaxSupersample = 8;

const int kFunctionKeys = 12;

// Memory one frame takes per pixel: the GL's colour (RGBA) and depth
// buffers, 4 bytes each, and the RGB read-back; libpng encodes a row at a
// time. Beyond that, Mesa's software renderer (LLVM and its rasteriser
// threads) maps about 280 MiB of address space for a small frame and 600
// MiB from 4096x4096 up, but keeps under 100 MiB of it resident.
const unsigned long long kFrameBytesPerPixel = 11;
const unsigned long long kRendererAddressSpace = 600ULL << 20;
const unsigned long long kRendererResident = 128ULL << 20;
const double kGibibyte = 1024.0 * 1024.0 * 1024.0;

const unsigned char kLastControl = 0x1f;
const unsigned char kDelete = 0x7f;

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
    {"backspace", false, 8},     {"delete", false, kDelete},
    {"left", true, GLUT_KEY_LEFT},   {"right", true, GLUT_KEY_RIGHT},
    {"up", true, GLUT_KEY_UP},       {"down", true, GLUT_KEY_DOWN},
    {"pageup", true, GLUT_KEY_PAGE_UP}, {"pagedown", true, GLUT_KEY_PAGE_DOWN},
    {"home", true, GLUT_KEY_HOME},   {"end", true, GLUT_KEY_END},
    {"insert", true, GLUT_KEY_INSERT},
};

struct Options {
    int width = kDefaultSize;
    int height = kDefaultSize;
    int supersample = 1;
    std::vector<Press> presses;
    std::string output;
    bool help = false;
    bool version = false;
};

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
    "  --keys \"KEYS\"  keys to press before drawing, separated by spaces; may be\n"
    "                 given more than once, the sequences are pressed in turn\n"
    "  --help         show this text\n"
    "  --version      show the version\n"
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

// The length of the well-formed UTF-8 sequence of a printable character
// at text[at], or 0 (also for the C1 controls, U+0080 to U+009F).
size_t printableUtf8Length(const std::string& text, size_t at) {
    const unsigned char lead = static_cast<unsigned char>(text[at]);
    const size_t length = lead < 0xc2 ? 0 : lead < 0xe0 ? 2 : lead < 0xf0 ? 3 : lead < 0xf5 ? 4 : 0;
    for (size_t next = at + 1; next < at + length; ++next) {
        if (next >= text.size() || (text[next] & 0xc0) != 0x80) {
            return 0;
        }
    }
    return lead == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0 ? 0 : length;
}

std::string escaped(unsigned char byte) {
    if (byte == '\n' || byte == '\t' || byte == '\\') {
        return byte == '\n' ? "\\n" : byte == '\t' ? "\\t" : "\\\\";
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02x", byte);
    return hex;
}

// An argument as messages show it, in quotes: bytes a terminal would act on
// rather than show (control characters, and bytes outside well-formed
// UTF-8) are written as escapes, so a message is always one line and says
// exactly what was given.
std::string quoted(const std::string& text) {
    std::string shown = "'";
    for (size_t at = 0; at < text.size();) {
        const unsigned char byte = static_cast<unsigned char>(text[at]);
        const bool plainAscii = byte > kLastControl && byte < kDelete && byte != '\\';
        const size_t printable = byte > kDelete ? printableUtf8Length(text, at) : plainAscii;
        if (printable > 0) {
            shown.append(text, at, printable);
            at += printable;
        } else {
            shown += escaped(byte);
            ++at;
        }
    }
    return shown + "'";
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

// A whole number from 1 to `largest` in plain digits, no more of them than
// `largest` has, so that reading it cannot overflow.
bool countUpTo(const std::string& text, long largest, long& value) {
    if (!allDigits(text) || text.size() > std::to_string(largest).size()) {
        return false;
    }
    value = std::atol(text.c_str());
    return value >= 1 && value <= largest;
}

// A special key's name or a character key's name, or a single printable
// character; refuses Escape by name.
Press keyNamed(const std::string& name) {
    if (name.size() == 1 && name[0] > ' ' && static_cast<unsigned char>(name[0]) < kDelete) {
        return Press{false, static_cast<unsigned char>(name[0])};
    }
    if (strcasecmp(name.c_str(), "escape") == 0 || strcasecmp(name.c_str(), "esc") == 0) {
        die("key " + quoted(name) + " is refused: Escape would end the program");
    }
    for (const NamedKey& key : kNamedKeys) {
        if (strcasecmp(name.c_str(), key.name) == 0) {
            return Press{key.special, key.code};
        }
    }
    long number = 0;
    if ((name[0] == 'F' || name[0] == 'f') && countUpTo(name.substr(1), kFunctionKeys, number)) {
        return Press{true, GLUT_KEY_F1 + static_cast<int>(number) - 1};
    }
    die("unknown key name " + quoted(name) + " (see --help)");
}

// NAME or NAME*N. The repeat mark is the last '*' that is not the first
// character, so "*" and "**3" name the asterisk key itself.
void addKeyToken(const std::string& token, std::vector<Press>& presses) {
    const size_t star = token.rfind('*');
    std::string name = token;
    long repeat = 1;
    if (star != std::string::npos && star > 0) {
        name = token.substr(0, star);
        if (!countUpTo(token.substr(star + 1), kMaxRepeat, repeat)) {
            die("bad repeat count in " + quoted(token) + ": N in NAME*N must be a whole number from 1 to " +
                std::to_string(kMaxRepeat));
        }
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
        die("bad size " + quoted(text) + ": expected WxH, for example 800x600");
    }
    if (width.size() > kMaxSizeDigits || height.size() > kMaxSizeDigits) {
        die("size " + quoted(text) + " is too large");
    }
    options.width = std::atoi(width.c_str());
    options.height = std::atoi(height.c_str());
    if (options.width < 1 || options.height < 1) {
        die("bad size " + quoted(text) + ": width and height must be at least 1");
    }
}

int parseSupersample(const std::string& text) {
    long factor = 0;
    if (!countUpTo(text, kMaxSupersample, factor)) {
        die("bad supersampling factor " + quoted(text) + ": expected a whole number from 1 to " +
            std::to_string(kMaxSupersample));
    }
    return static_cast<int>(factor);
}

void setOption(const std::string& name, const std::string& value, Options& options) {
    if (name == "--size") {
        parseSize(value, options);
    } else if (name == "--supersample") {
        options.supersample = parseSupersample(value);
    } else {
        addKeys(value, options.presses);
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
                die("more than one output file given (" + quoted(options.output) + " and " +
                    quoted(argument) + ")");
            }
            options.output = argument;
            outputSeen = true;
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "--help" || argument == "-h" || argument == "--version") {
            (argument == "--version" ? options.version : options.help) = true;
            return options;
        }
        const size_t equals = argument.find('=');
        const std::string name = argument.substr(0, equals);
        if (name != "--size" && name != "--keys" && name != "--supersample") {
            die("unknown option " + quoted(argument) + " (see --help)");
        }
        std::string value;
        if (equals != std::string::npos) {
            value = argument.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            die("option " + name + " needs a value");
        }
        setOption(name, value, options);
    }
    if (!outputSeen || options.output.empty()) {
        die("no output file given (" + std::string(kUsage, std::strchr(kUsage, '\n')) + ")");
    }
    return options;
}

// Where the image is said to go in messages.
std::string describeOutput(const std::string& output) {
    return output == "-" ? "standard output" : quoted(output);
}

// Where libpng writes, and the errno of a write that failed: the failure is
// reported once, by the caller, with the file's name and the system's
// reason, so libpng's own messages are silenced.
struct PngSink {
    FILE* stream;
    int error;
};

void writeToSink(png_structp png, png_bytep data, size_t length) {
    PngSink* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    if (std::fwrite(data, 1, length, sink->stream) != length) {
        sink->error = errno;
        png_error(png, "write failed");
    }
}

// The file is flushed once, when it is committed.
void flushNothing(png_structp) {}

[[noreturn]] void stopOnPngError(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void ignorePngWarning(png_structp, png_const_charp) {}

// libpng reports errors by long jump; nothing with a destructor lives
// between the setjmp and the calls that may jump.
bool encodePng(PngSink& sink, int width, int height, const unsigned char* rgb) {
    png_structp png =
        png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, stopOnPngError, ignorePngWarning);
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
    png_set_write_fn(png, &sink, writeToSink, flushNothing);
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

// A failure exits, and leaves nothing: an unfinished replacement has no
// name (see output_file.cpp).
void writePng(OutputFile& output, const std::string& shownOutput, int width, int height,
              const unsigned char* rgb) {
    PngSink sink{output.stream, 0};
    std::string reason;
    if (!encodePng(sink, width, height, rgb)) {
        reason = sink.error != 0 ? std::strerror(sink.error) : "the PNG encoder failed";
    } else if (commitOutput(output, reason)) {
        return;
    }
    die("cannot write " + shownOutput + ": " + reason);
}

// As GNU tools do: output that could not be written is a failure, also
// that of --help or of the closing line.
void finishStandardOutput() {
    const int error = std::fflush(stdout) != 0 ? errno : std::ferror(stdout) ? EIO : 0;
    if (error != 0) {
        die(std::string("cannot write standard output: ") + std::strerror(error));
    }
}

long long memInfoBytes(const std::string& label) {
    std::ifstream meminfo("/proc/meminfo");
    std::string name;
    long long kibibytes = 0;
    while (meminfo >> name >> kibibytes) {
        if (name == label + ":") {
            return kibibytes * 1024;
        }
        meminfo.ignore(std::numeric_limits<std::streamsize>::max(), '\n');
    }
    return -1;
}

unsigned long long softLimit(decltype(RLIMIT_AS) resource) {
    rlimit limit{};
    if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) {
        return std::numeric_limits<unsigned long long>::max();
    }
    return limit.rlim_cur;
}

[[noreturn]] void refuseSize(const Options& options, unsigned long long needed, const char* what,
                             unsigned long long allowed) {
    char message[320];
    const std::string drawn = options.supersample == 1 ? "" : " drawn " +
        std::to_string(options.supersample) + " times as wide and high";
    std::snprintf(message, sizeof message,
                  "not enough memory for a %dx%d image%s: it needs about %.1f GiB, and %s %.1f GiB",
                  options.width, options.height, drawn.c_str(),
                  static_cast<double>(needed) / kGibibyte, what,
                  static_cast<double>(allowed) / kGibibyte);
    die(message);
}

// Refuses, before the GL is opened, a size the process could not hold: by
// its own memory limits, or by the memory the machine has left.
void checkMemoryFor(const Options& options) {
    const unsigned long long factor = static_cast<unsigned long long>(options.supersample);
    const unsigned long long pixels = static_cast<unsigned long long>(options.width) *
                                      static_cast<unsigned long long>(options.height) * factor * factor;
    const unsigned long long frame = kFrameBytesPerPixel * pixels;
    const unsigned long long limit = std::min(softLimit(RLIMIT_AS), softLimit(RLIMIT_DATA));
    if (frame + kRendererAddressSpace > limit) {
        refuseSize(options, frame + kRendererAddressSpace, "the process may use", limit);
    }
    const long long available = memInfoBytes("MemAvailable");
    const long long swap = std::max(memInfoBytes("SwapFree"), 0LL);
    const unsigned long long spare = static_cast<unsigned long long>(available + swap);
    if (available >= 0 && frame + kRendererResident > spare) {
        refuseSize(options, frame + kRendererResident, "the machine has", spare);
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

// The program's start-up at the drawing size, the keys, then one frame, as
// the program's event loop would call them.
void drawFrame(int width, int height, const Options& options) {
    startProgramFrames(width, height);
    pressAll(options.presses);
    display();
}

// The picture from one drawn `factor` times as wide and high: each pixel
// is the rounded mean of its factor x factor block.
std::vector<unsigned char> averageBlocks(std::vector<unsigned char> drawn, int width, int height,
                                         int factor) {
    if (factor == 1) {
        return drawn;
    }
    const size_t drawnWidth = static_cast<size_t>(width) * static_cast<size_t>(factor);
    const unsigned samples = static_cast<unsigned>(factor * factor);
    std::vector<unsigned char> picture;
    picture.reserve(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            for (size_t channel = 0; channel < 3; ++channel) {
                unsigned sum = 0;
                for (int dy = 0; dy < factor; ++dy) {
                    const size_t row = static_cast<size_t>(y * factor + dy);
                    for (int dx = 0; dx < factor; ++dx) {
                        const size_t column = static_cast<size_t>(x * factor + dx);
                        sum += drawn[(row * drawnWidth + column) * 3 + channel];
                    }
                }
                picture.push_back(static_cast<unsigned char>((sum + samples / 2) / samples));
            }
        }
    }
    return picture;
}

// The frame at the drawing size (the picture's size times the supersampling
// factor), read back and averaged down to the picture's size.
std::vector<unsigned char> renderPicture(const Options& options) {
    const int width = options.width * options.supersample;
    const int height = options.height * options.supersample;
    std::vector<unsigned char> drawn(static_cast<size_t>(width) * static_cast<size_t>(height) * 3);
    char error[256];
    if (!openOffscreen(width, height, error, sizeof error)) {
        const std::string supersampled =
            options.supersample == 1 ? "" : " (the size times the supersampling factor " +
                                                std::to_string(options.supersample) + ")";
        die(std::string("cannot draw: ") + error + supersampled);
    }
    drawFrame(width, height, options);
    readOffscreenRGB(drawn.data());
    if (glGetError() == GL_OUT_OF_MEMORY) {
        die("out of memory while drawing");
    }
    closeOffscreen();
    return averageBlocks(std::move(drawn), options.width, options.height, options.supersample);
}

// Everything that can fail before the picture exists is checked before the
// GL is opened, so no run spends its drawing time only to fail.
int run(int argc, char** argv) {
    const Options options = parseArguments(argc, argv);
    if (options.help || options.version) {
        if (options.help) {
            std::fputs(kUsage, stdout);
        } else {
            std::printf("%s %s\n", kProgram, HOUSE_VERSION);
        }
        finishStandardOutput();
        return EXIT_SUCCESS;
    }
    // A file size limit then fails the write with a message instead of
    // ending the program with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    checkMemoryFor(options);
    const std::string shownOutput = describeOutput(options.output);
    OutputFile output;
    std::string reason;
    if (!openOutput(options.output, output, reason)) {
        die("cannot write " + shownOutput + ": " + reason);
    }
    const std::vector<unsigned char> rgb = renderPicture(options);
    writePng(output, shownOutput, options.width, options.height, rgb.data());
    // With "-" standard output holds only the picture.
    FILE* report = options.output == "-" ? stderr : stdout;
    std::fprintf(report, "wrote %dx%d image to %s\n", options.width, options.height,
                 shownOutput.c_str());
    finishStandardOutput();
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        die("out of memory while drawing (a smaller --size needs less)");
    }
}
