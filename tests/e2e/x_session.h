// The harness of the end-to-end tests: an own Xvfb server, the real house
// program running on it, and the command-line X tools that find, drive and
// capture its window.
//
// Every child process runs in a process group of its own and dies with the
// test process; the destructors stop whatever is still running, also when a
// test fails half-way.
#ifndef HOUSE_TESTS_E2E_X_SESSION_H
#define HOUSE_TESTS_E2E_X_SESSION_H

#include <sys/types.h>

#include <string>
#include <vector>

#include "picture.h"

namespace e2e {

extern const char kWindowTitle[];

struct CommandResult {
    int status = -1;        // as from waitpid
    std::string out;
    std::string err;
    bool timedOut = false;

    bool succeeded() const;
};

// Runs a command (looked up on PATH) with DISPLAY set to the given display
// (unset if it is empty), waits for it at most timeoutSeconds, and collects
// both output streams.
CommandResult runCommand(const std::vector<std::string>& argv, const std::string& display,
                         double timeoutSeconds = 30);

// A started program, its standard output and error going to a scratch file.
class ChildProcess {
public:
    // argv may be empty: the program is then started with no arguments at
    // all, not even its own name. environment is the complete environment.
    ChildProcess(const std::string& path, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The waitpid status once the process has ended, or -1 after the timeout.
    int waitForExit(double timeoutSeconds);
    std::string output() const;  // what it wrote to stdout and stderr so far
    void stop();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    std::string outputPath_;
};

// An Xvfb server on a free display, 1280x1024 at 24 bits, no TCP.
class XServer {
public:
    XServer();
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    const std::string& display() const { return display_; }  // e.g. ":3"

private:
    pid_t pid_ = -1;
    std::string display_;
};

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The environment of the test process with DISPLAY replaced (or removed,
// for an empty display), and any extra entries added.
std::vector<std::string> environmentWithDisplay(const std::string& display,
                                                const std::vector<std::string>& extra = {});

// The house program on its own X server, with its window found and its
// first frame drawn.
class HouseSession {
public:
    enum class Arguments { Normal, Empty };
    // extraEnvironment: NAME=value entries added to the program's environment.
    explicit HouseSession(Arguments arguments = Arguments::Normal,
                          const std::vector<std::string>& extraEnvironment = {});

    const std::string& display() const { return server_.display(); }
    const std::string& window() const { return window_; }
    ChildProcess& process() { return process_; }

    // Sends the keys, by their X key names, to the window as real key events.
    void keys(const std::vector<std::string>& names);
    void keys(const std::string& name, int times);
    // Presses a key without releasing it, for a key that ends the program:
    // the window is gone before a release could be sent to it.
    void pressOnly(const std::string& name);

    Picture capture();
    // Captures until the picture stops changing and the program is idle.
    Picture settle(double timeoutSeconds = 20);
    // Waits until the picture differs from `before`, then settles.
    Picture settleAfterChange(const Picture& before, double timeoutSeconds = 20);
    // Waits until the program has stopped using the CPU, without looking at
    // the window (which may lie partly off the screen).
    void waitUntilIdle(double timeoutSeconds = 60);

    WindowGeometry geometry();
    // Polls the window geometry until it has the given size.
    WindowGeometry waitForSize(int width, int height, double timeoutSeconds = 20);
    void resize(int width, int height);
    void move(int x, int y);
    std::string title();
    bool windowExists();

    long residentKiB();   // VmRSS
    long cpuTicks();      // utime + stime

private:
    bool programIdle();

    XServer server_;
    ChildProcess process_;
    std::string window_;
};

// Seconds since an arbitrary start, for deadlines.
double now();
void pause(double seconds);

}  // namespace e2e

#endif
