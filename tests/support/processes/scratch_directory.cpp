#include "support/processes/scratch_directory.h"

#include <dirent.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/processes/processes.h"

ScratchDirectory::ScratchDirectory() {
    path_ = temporaryDirectory() + "/house-test-XXXXXX";
    if (mkdtemp(&path_[0]) == nullptr) throw std::runtime_error("mkdtemp failed in " + path_);
}

ScratchDirectory::~ScratchDirectory() {
    clear();
    rmdir(path_.c_str());
}

void ScratchDirectory::clear() const {
    for (const std::string& name : entries()) std::remove(path(name).c_str());
}

std::vector<std::string> ScratchDirectory::entries() const {
    std::vector<std::string> names;
    DIR* listing = opendir(path_.c_str());
    if (listing == nullptr) return names;
    while (dirent* entry = readdir(listing)) {
        const std::string name = entry->d_name;
        if (name != "." && name != "..") names.push_back(name);
    }
    closedir(listing);
    return names;
}
