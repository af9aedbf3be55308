// house-snapshot: draws one frame of the scene with no window and no display
// server and saves it as a PNG. It first replays a key sequence through the
// program's own key callbacks, so any view a user can reach with the
// keyboard can be pictured, and it draws with the program's own reshape and
// display on the GL state main sets up.
//
// --until draws the frame only up to one of its pieces, --steps lists the
// pieces and --pixel tells one pixel's history (frame_steps.h): the tool's
// copy of the scene reports the routines it runs, and its GL calls pass
// through a tap that can stop or record them (tracing/).
//
// Every failure is reported in one line on stderr with status 1; whatever
// can be checked (the options, the output, the memory) is checked before
// anything is drawn. The output is written as output_file.h describes, so
// a failed or interrupted run leaves no partial file and never replaces a
// device, a link or a directory.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "command_line/tool_command_line.h"
#include "output/output_file.h"
#include "png/png_writer.h"
#include "snapshot/command_line.h"
#include "snapshot/frame_steps.h"
#include "snapshot/memory_check.h"
#include "snapshot/render.h"
#include "tracing/gl_tap.h"

namespace {

const char kProgram[] = "house-snapshot";

[[noreturn]] void die(const std::string& message) { failTool(kProgram, message); }

int printLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) std::printf("%s\n", line.c_str());
    finishStandardOutput(kProgram);
    return EXIT_SUCCESS;
}

int run(int argc, char** argv) {
    prepareOutputs();
    Options options;
    std::string error;
    if (!parseCommandLine(argc, argv, options, error)) die(error);
    if (options.help || options.version)
        return showHelpOrVersion(kProgram, HOUSE_VERSION, options, kUsage);
    if (options.steps) return printLines(stepLines(options.presses));
    if (options.pixel) {
        const std::vector<std::string> lines =
            historyLines(options.presses, options.width, options.height, options.pixelX, options.pixelY);
        if (lines.empty()) std::fprintf(stderr, "%s: no piece covers that pixel: it shows the sky\n", kProgram);
        return printLines(lines);
    }
    if (options.until >= 0) {
        const long pieces = framePieceCount(options.presses);
        if (options.until > pieces)
            die("--until " + std::to_string(options.until) + " is past the frame's last piece, " +
                std::to_string(pieces));
    }
    const std::string refusal =
        memoryRefusal(options.width, options.height, options.supersample, memoryRoomNow());
    if (!refusal.empty()) die(refusal);
    const std::string shownOutput = describeOutput(options.output);
    OutputFile output;
    if (!openOutput(options.output, "a PNG", output, error)) {
        die("cannot write " + shownOutput + ": " + error);
    }

    std::vector<unsigned char> rgb;
    tap::drawOnGl(options.until);
    if (!renderPicture(options.width, options.height, options.supersample, options.presses, rgb,
                       error))
        die(error);
    // A failure leaves nothing: an unfinished replacement has no name.
    if (!writePng(output.stream, options.width, options.height, rgb.data(), error) ||
        !commitOutput(output, error))
        die("cannot write " + shownOutput + ": " + error);
    reportWritten(options, "wrote " + std::to_string(options.width) + "x" +
                               std::to_string(options.height) + " image to " + shownOutput);
    return EXIT_SUCCESS;
}

}  // namespace

int main(int argc, char** argv) {
    try {
        return run(argc, argv);
    } catch (const std::bad_alloc&) {
        die("out of memory while drawing (a smaller --size needs less)");
    } catch (const std::logic_error& fault) {
        die(std::string("cannot trace this frame: ") + fault.what());
    }
}
