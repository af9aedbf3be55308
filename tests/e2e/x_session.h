// The real house program on its own Xvfb server, and the command-line X
// tools that find, drive and capture its window.
#ifndef HOUSE_TESTS_E2E_X_SESSION_H
#define HOUSE_TESTS_E2E_X_SESSION_H

#include <memory>
#include <string>
#include <vector>

#include "scene_colours.h"
#include "support/pictures/picture.h"
#include "support/processes/processes.h"
#include "support/processes/scratch_directory.h"
#include "support/processes/x_server.h"
#include "viewer/window.h"

namespace e2e {

struct WindowGeometry {
    int x = 0, y = 0, width = 0, height = 0;
};

// The house program on its own X server, with its window found and its
// first frame drawn.
class HouseSession {
public:
    enum class Arguments { Normal, Empty };
    // Bare: the server alone, where GLUT's requests are carried out as they
    // stand. Managed: a window manager (openbox) runs first, as on a desktop,
    // and frames, places and closes the window.
    enum class Desktop { Bare, Managed };
    // extraEnvironment: NAME=value entries added to the program's environment.
    explicit HouseSession(Arguments arguments = Arguments::Normal,
                          const std::vector<std::string>& extraEnvironment = {},
                          Desktop desktop = Desktop::Bare);
    // Runs `program` (looked up on PATH if it has no slash) with the
    // argument vector `argv` instead of the house binary: house.exe under
    // Wine, say.
    HouseSession(const std::string& program, const std::vector<std::string>& argv,
                 const std::vector<std::string>& extraEnvironment,
                 Desktop desktop = Desktop::Bare);

    const std::string& display() const { return server_.display(); }
    ChildProcess& process() { return process_; }

    // Types a sequence in the key language ("Left*4 +*10") into the window
    // as real key events.
    void keys(const std::string& sequence);
    // Sends keys by their X names, such as "ctrl+c", which the key language
    // cannot write.
    void xKeys(const std::vector<std::string>& names);
    // Presses a key without releasing it, for a key that ends the program:
    // the window is gone before a release could be sent to it.
    void pressOnly(const std::string& name);
    // Closes the window the way a person does on a desktop: focuses it and
    // presses Alt+F4, which the window manager turns into a close request.
    void closeThroughWindowManager();

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
    // A property of the window as xprop prints it ("" if it has none).
    std::string windowProperty(const std::string& name);
    bool windowExists();

    long residentKiB() { return statusKiB(process_.pid(), "VmRSS"); }
    long cpuTicks() { return ::cpuTicks(process_.pid()); }

private:
    bool programIdle() { return processState(process_.pid()) == 'S'; }
    // Runs an X tool on this display; throws with its message if it fails.
    std::string xTool(const std::vector<std::string>& argv);
    // Throws if the deadline has passed or the program has ended.
    void checkProgress(double deadline, const char* waitingFor);

    XServer server_;
    std::unique_ptr<ChildProcess> windowManager_;  // null on a bare server
    ChildProcess process_;
    std::string window_;
};

}  // namespace e2e

#endif
