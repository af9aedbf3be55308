// house-snapshot: draws one frame of the scene with no window and no display
// server and saves it as a PNG. It first replays a key sequence through the
// program's own key callbacks, so any view a user can reach with the
// keyboard can be pictured, and it draws with the program's own reshape and
// display on the GL state main sets up.
//
// Every failure is reported in one line on stderr with status 1; whatever
// can be checked (the options, the output, the memory) is checked before
// anything is drawn. The output is written as output_file.h describes, so
// a failed or interrupted run leaves no partial file and never replaces a
// device, a link or a directory.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "command_line.h"
#include "memory_check.h"
#include "output_file.h"
#include "png_writer.h"
#include "render.h"
#include "shown_text.h"

namespace {

const char kProgram[] = "house-snapshot";

[[noreturn]] void die(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kProgram, message.c_str());
    std::exit(EXIT_FAILURE);
}

// As GNU tools do: output that could not be written is a failure, also
// that of --help or of the closing line.
void finishStandardOutput() {
    const int error = std::fflush(stdout) != 0 ? errno : std::ferror(stdout) ? EIO : 0;
    if (error != 0) die(std::string("cannot write standard output: ") + std::strerror(error));
}

// Where the image is said to go in messages.
std::string describeOutput(const std::string& output) {
    return output == "-" ? "standard output" : quoted(output);
}

int showHelpOrVersion(const Options& options) {
    if (options.help)
        std::fputs(kUsage, stdout);
    else
        std::printf("%s %s\n", kProgram, HOUSE_VERSION);
    finishStandardOutput();
    return EXIT_SUCCESS;
}

int run(int argc, char** argv) {
    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) die(error);
    if (options.help || options.version) return showHelpOrVersion(options);
    // A file size limit then fails the write with a message instead of
    // ending the program with a signal.
    std::signal(SIGXFSZ, SIG_IGN);
    const std::string refusal =
        memoryRefusal(options.width, options.height, options.supersample, memoryRoomNow());
    if (!refusal.empty()) die(refusal);
    const std::string shownOutput = describeOutput(options.output);
    OutputFile output;
    if (!openOutput(options.output, output, error)) die("cannot write " + shownOutput + ": " + error);

    std::vector<unsigned char> rgb;
    if (!renderPicture(options.width, options.height, options.supersample, options.presses, rgb,
                       error))
        die(error);
    // A failure leaves nothing: an unfinished replacement has no name.
    if (!writePng(output.stream, options.width, options.height, rgb.data(), error) ||
        !commitOutput(output, error))
        die("cannot write " + shownOutput + ": " + error);
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
