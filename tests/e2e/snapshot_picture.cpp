#include "e2e/snapshot_picture.h"

#include <stdexcept>

#include "support/build_paths.h"
#include "support/processes/processes.h"

namespace e2e {

Picture snapshotPicture(ScratchDirectory& scratch, const std::string& name,
                        const std::vector<std::string>& options) {
    const std::string out = scratch.path(name);
    std::vector<std::string> command = {kSnapshotProgram};
    command.insert(command.end(), options.begin(), options.end());
    command.push_back(out);
    // The tool draws without any display server: DISPLAY is unset for it.
    const CommandResult run = runCommand(command, "", 60);
    if (!run.succeeded()) throw std::runtime_error("house-snapshot failed: " + run.err);
    return readPng(out);
}

}  // namespace e2e
