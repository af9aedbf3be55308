// What house-snapshot and house-export share in talking to a person: the
// command line and the messages. Options take a value ("--name value" or
// "--name=value"), one operand names the output file ("-" for standard
// output), "--" ends the options, and --help, -h or --version end the
// reading. Every failure is one line on stderr, naming the program, with
// status 1.
#ifndef HOUSE_COMMAND_LINE_TOOL_COMMAND_LINE_H
#define HOUSE_COMMAND_LINE_TOOL_COMMAND_LINE_H

#include <functional>
#include <string>
#include <vector>

struct ToolCommand {
    std::string output;  // "-" for standard output
    bool help = false;
    bool version = false;
    // Set by an option that prints what it finds rather than write a file:
    // then no output may be given.
    bool printsOnly = false;
};

// Takes one option's value, or returns false with a one-line message.
using OptionSetter =
    std::function<bool(const std::string& name, const std::string& value, std::string& error)>;

// Reads argv[1] on, handing each option of `names` with its value to
// `setOption`, and each of `flags`, options that take no value, with an
// empty one. An option may name the output itself (by setting
// command.output), and the operand is then one output too many. Returns
// false with a one-line message in `error` for anything it cannot take; a
// missing output quotes `usage`'s first line.
bool readToolCommand(int argc, const char* const* argv, const std::vector<std::string>& names,
                     const char* usage, const OptionSetter& setOption, ToolCommand& command,
                     std::string& error, const std::vector<std::string>& flags = {});

// The message for a second output after `first`.
std::string secondOutput(const std::string& first, const std::string& second);

// A picture's size, WxH: each side plain decimal digits from 1 to `most`
// (0: no bound here, the renderer's own is checked later), and
// `whatBounds` names what sets that bound ("the part map").
bool parsePictureSize(const std::string& text, int most, const char* whatBounds, int& width,
                      int& height, std::string& error);

// The output as messages name it: "standard output", or its name quoted.
std::string describeOutput(const std::string& output);

[[noreturn]] void failTool(const char* program, const std::string& message);

// As GNU tools do: output that could not be written is a failure, also
// that of --help.
void finishStandardOutput(const char* program);

// The closing line, "wrote …": on standard output, or on stderr where the
// output is standard output and must hold only what was written. Said once
// the output is in place, so a line that cannot be printed (standard output
// closed, full or no longer read) is let be: the status says whether the
// file was written, and a 1 here would have a script take a new file for
// the old.
void reportWritten(const ToolCommand& command, const std::string& line);

// Prints `usage` for --help or "PROGRAM VERSION" for --version; the exit
// status.
int showHelpOrVersion(const char* program, const char* version, const ToolCommand& command,
                      const char* usage);

#endif
