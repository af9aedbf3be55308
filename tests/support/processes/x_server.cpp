#include "support/processes/x_server.h"

#include <fcntl.h>
#include <unistd.h>

#include <stdexcept>
#include <vector>

#include "support/build_paths.h"

namespace {

const double kServerStartSeconds = 30;

}  // namespace

// Xvfb writes the number of the display it took to the descriptor it is
// given, which only it inherits: the reading end closes on exec.
XServer::XServer() {
    int fds[2];
    if (pipe(fds) != 0) throw std::runtime_error("pipe failed");
    fcntl(fds[0], F_SETFD, FD_CLOEXEC);
    process_ = std::make_unique<ChildProcess>(
        kXvfbScript, std::vector<std::string>{kXvfbScript, std::to_string(fds[1])},
        environmentWithDisplay(""));
    close(fds[1]);
    std::string number;
    const bool reported = readLines(fds[0], number, 1, kServerStartSeconds);
    close(fds[0]);
    if (!reported)
        throw std::runtime_error("Xvfb did not report a display (is it installed?): " +
                                 process_->output());
    display_ = ":" + number.substr(0, number.find('\n'));
}
