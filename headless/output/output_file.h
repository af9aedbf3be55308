// Where a tool's output goes, settled before any work is done, and written
// so that a failed or interrupted run leaves nothing behind and destroys
// nothing:
// - "-" is standard output;
// - a regular file, or a new name, is written to an unnamed temporary file
//   in the same directory and put in place by one rename once complete; an
//   existing file's mode (and, for root, its owner) is kept;
// - a symbolic link is followed, and its target written that way;
// - a device, FIFO or socket is written directly, never replaced;
// - a directory and a terminal are refused.
#ifndef HOUSE_OUTPUT_OUTPUT_FILE_H
#define HOUSE_OUTPUT_OUTPUT_FILE_H

#include <cstdio>
#include <string>

struct OutputFile {
    FILE* stream = nullptr;
    // When replacing, the target's directory, where the finished file is
    // put in place by a rename; -1 when written directly.
    int directory = -1;
    std::string name;           // the target's name in that directory
    bool unnamed = false;       // an O_TMPFILE file, with no name until committed
};

// First thing in a tool, before anything is opened. A standard descriptor
// that was closed is held by one that can be neither read nor written, so
// that it still fails as a closed one does and no file opened later takes
// its number: the output would then receive the closing line, or a
// library's warning. And a reader of standard output that has gone, or a
// file size limit, then fails a write with its errno, reported like any
// other, where it would end the program with a signal and no word.
void prepareOutputs();

// Opens the output named `path` for `contents` ("a PNG"), which a terminal
// refusal names. On failure returns false with the cause in `reason` (for
// example "Is a directory").
bool openOutput(const std::string& path, const char* contents, OutputFile& output,
                std::string& reason);

// Flushes what was written and, for a replaced file, puts it in place.
bool commitOutput(OutputFile& output, std::string& reason);

#endif
