#include "command_line/tool_command_line.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "keys/shown_text.h"

bool readToolCommand(int argc, const char* const* argv, const std::vector<std::string>& names,
                     const char* usage, const OptionSetter& setOption, ToolCommand& command,
                     std::string& error) {
    bool outputSeen = false;
    bool optionsEnded = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (optionsEnded || argument.size() < 2 || argument[0] != '-') {
            if (outputSeen) {
                error = "more than one output file given (" + quoted(command.output) + " and " +
                        quoted(argument) + ")";
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
            if (std::find(names.begin(), names.end(), name) == names.end()) {
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
    if (!outputSeen || command.output.empty()) {
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
