// A fresh directory under $TMPDIR (or /tmp) for one test's files, removed
// with what is in it.
#ifndef HOUSE_PROCESSES_SCRATCH_DIRECTORY_H
#define HOUSE_PROCESSES_SCRATCH_DIRECTORY_H

#include <string>
#include <vector>

class ScratchDirectory {
public:
    ScratchDirectory();
    ~ScratchDirectory();
    ScratchDirectory(const ScratchDirectory&) = delete;
    ScratchDirectory& operator=(const ScratchDirectory&) = delete;

    const std::string& root() const { return path_; }
    std::string path(const std::string& name) const { return path_ + "/" + name; }
    // The names in it, without "." and "..".
    std::vector<std::string> entries() const;
    // Removes its files, links, FIFOs and empty folders.
    void clear() const;

private:
    std::string path_;
};

#endif
