#include "command_line/tool_command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keys/shown_text.h"

namespace {

// Sizes are read as at most this many digits before any bound is
// consulted, so that the number cannot overflow an int.
const size_t kMostSizeDigits = 6;

bool allDigits(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text)
        if (c < '0' || c > '9') return false;
    return true;
}

bool listed(const std::vector<std::string>& names, const std::string& name) {
    return std::find(names.begin(), names.end(), name) != names.end();
}

}  // namespace

std::string secondOutput(const std::string& first, const std::string& second) {
    return "more than one output file given (" + quoted(first) + " and " + quoted(second) + ")";
}

bool readToolCommand(int argc, const char* const* argv, const std::vector<std::string>& names,
                     const char* usage, const OptionSetter& setOption, ToolCommand& command,
                     std::string& error, const std::vector<std::string>& flags) {
    bool outputSeen = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (outputSeen || !command.output.empty()) {
                error = secondOutput(command.output, argument);
                return false;
            }
            command.output = argument;
            outputSeen = true;
        } else if (argument == "--") {
            optionsEnded = true;
        } else if (argument == "--help" || argument == "-h" || argument == "--version") {
            (argument == "--version" ? command.version : command.help) = true;
            return true;
        } else {
            const size_t equals = argument.find('=');
            const std::string name = argument.substr(0, equals);
            if (listed(flags, name)) {
                if (equals != std::string::npos) {
                    error = "option " + name + " takes no value";
                    return false;
                }
                if (!setOption(name, "", error)) return false;
                continue;
            }
            if (!listed(names, name)) {
                error = "unknown option " + quotedWord(argument) + " (see --help)";
                return false;
            }
            if (equals == std::string::npos && i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            const std::string value = equals != std::string::npos ? argument.substr(equals + 1) : argv[++i];
            if (!setOption(name, value, error)) return false;
        }
    }
    if (command.printsOnly) return true;
    if (command.output.empty()) {
        const std::string text = usage;
        error = "no output file given (" + text.substr(0, text.find('\n')) + ")";
        return false;
    }
    return true;
}

std::string describeOutput(const std::string& output) {
    return output == "-" ? "standard output" : quoted(output);
}

void failTool(const char* program, const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", program, message.c_str());
    std::exit(EXIT_FAILURE);
}

void finishStandardOutput(const char* program) {
    const int error = std::fflush(stdout) != 0 ? errno : std::ferror(stdout) ? EIO : 0;
    if (error != 0) failTool(program, std::string("cannot write standard output: ") + std::strerror(error));
}

void reportWritten(const ToolCommand& command, const std::string& line) {
    FILE* stream = command.output == "-" ? stderr : stdout;
    std::fprintf(stream, "%s\n", line.c_str());
    std::fflush(stream);
}

int showHelpOrVersion(const char* program, const char* version, const ToolCommand& command,
                      const char* usage) {
    if (command.help)
        std::fputs(usage, stdout);
    else
        std::printf("%s %s\n", program, version);
    finishStandardOutput(program);
    return EXIT_SUCCESS;
}

bool parsePictureSize(const std::string& text, int most, const char* whatBounds, int& width,
                      int& height, std::string& error) {
    const size_t cross = text.find_first_of("xX");
    const std::string across = cross == std::string::npos ? text : text.substr(0, cross);
    const std::string down = cross == std::string::npos ? "" : text.substr(cross + 1);
    if (!allDigits(across) || !allDigits(down)) {
        error = "bad size " + quotedWord(text) + ": expected WxH, for example 800x600";
        return false;
    }
    if (across.size() > kMostSizeDigits || down.size() > kMostSizeDigits) {
        error = "size " + quotedWord(text) + " is too large";
        return false;
    }
    width = std::atoi(across.c_str());
    height = std::atoi(down.c_str());
    if (width < 1 || height < 1) {
        error = "bad size " + quotedWord(text) + ": width and height must be at least 1";
        return false;
    }
    if (most > 0 && (width > most || height > most)) {
        error = "size " + std::to_string(width) + "x" + std::to_string(height) + " is outside what " +
                whatBounds + " accepts (1x1 to " + std::to_string(most) + "x" + std::to_string(most) + ")";
        return false;
    }
    return true;
}
