// house-export's command line: the keys to press first and what to write:
// the model, the list of the parts in view, or the part map.
#ifndef HOUSE_EXPORT_EXPORT_OPTIONS_H
#define HOUSE_EXPORT_EXPORT_OPTIONS_H

#include <string>
#include <vector>

#include "command_line/tool_command_line.h"
#include "keys/key_sequence.h"

const int kDefaultMapSize = 500;

struct ExportOptions : ToolCommand {
    std::vector<KeyPress> presses;
    bool parts = false;    // --parts: the list (printsOnly is set with it)
    bool partMap = false;  // --part-map: the map, written to `output`
    bool sizeGiven = false;
    int width = kDefaultMapSize;
    int height = kDefaultMapSize;
};

// What --help prints.
extern const char kExportUsage[];

// Reads argv[1] on. "--keys value" and "--keys=value" are both accepted
// and "--" ends the options; --help and --version end the reading. Returns
// false with a one-line message in `error` for anything it cannot take.
bool parseExportOptions(int argc, const char* const* argv, ExportOptions& options,
                        std::string& error);

#endif
