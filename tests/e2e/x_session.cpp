#include "e2e/x_session.h"

#include <cctype>
#include <cstdio>
#include <map>
#include <sstream>
#include <stdexcept>

#include "keys/key_sequence.h"
#include "support/build_paths.h"
#include "viewer/opengl.h"

namespace e2e {

namespace {

const double kWindowSearchSeconds = 30;
const double kCaptureRetrySeconds = 2;
// The picture counts as settled once two captures this far apart agree.
const double kSettleInterval = 0.1;
// Keys per xdotool call: long enough to be quick, short enough for any
// command-line limit.
const size_t kKeysPerCall = 250;

int numberAfter(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    if (at == std::string::npos) throw std::runtime_error("no \"" + label + "\" in: " + text);
    return std::stoi(text.substr(at + label.size()));
}

// Debian's default openbox configuration, read as it stands so that no
// user's own settings change what the tests see; it binds Alt+F4 to Close.
const char kWindowManagerConfig[] = "/etc/xdg/openbox/rc.xml";

// Starts openbox and waits until it has taken the screen, which it
// announces on the root window, so the program's window is managed from
// the moment it is mapped.
std::unique_ptr<ChildProcess> startWindowManager(const std::string& display,
                                                 HouseSession::Desktop desktop) {
    if (desktop == HouseSession::Desktop::Bare) return nullptr;
    auto manager = std::make_unique<ChildProcess>(
        "openbox", std::vector<std::string>{"openbox", "--sm-disable", "--config-file",
                                            kWindowManagerConfig},
        environmentWithDisplay(display));
    const double deadline = monotonicSeconds() + kWindowSearchSeconds;
    while (runCommand({"xprop", "-root", "_NET_SUPPORTING_WM_CHECK"}, display).out.find(
               "window id") == std::string::npos) {
        if (!manager->running() || monotonicSeconds() > deadline)
            throw std::runtime_error("openbox did not take the screen: " + manager->output());
        sleepFor(0.05);
    }
    return manager;
}

// The X key name xdotool types for a press: a special key's name, a named
// control character, a letter or digit itself, and any other character by
// its keysym, which for Latin-1 is its code.
std::string xKeyName(const KeyPress& press) {
    static const std::map<int, std::string> kSpecial = {
        {GLUT_KEY_LEFT, "Left"},     {GLUT_KEY_RIGHT, "Right"}, {GLUT_KEY_UP, "Up"},
        {GLUT_KEY_DOWN, "Down"},     {GLUT_KEY_PAGE_UP, "Prior"}, {GLUT_KEY_PAGE_DOWN, "Next"},
        {GLUT_KEY_HOME, "Home"},     {GLUT_KEY_END, "End"},     {GLUT_KEY_INSERT, "Insert"}};
    static const std::map<int, std::string> kControl = {
        {'\r', "Return"}, {'\t', "Tab"}, {8, "BackSpace"}, {0x7f, "Delete"}, {' ', "space"}};
    if (press.special && press.code >= GLUT_KEY_F1 && press.code <= GLUT_KEY_F12)
        return "F" + std::to_string(press.code - GLUT_KEY_F1 + 1);
    if (press.special) return kSpecial.at(press.code);
    if (kControl.count(press.code)) return kControl.at(press.code);
    if (std::isalnum(press.code)) return std::string(1, static_cast<char>(press.code));
    char keysym[8];
    std::snprintf(keysym, sizeof keysym, "0x%02x", press.code);
    return keysym;
}

const std::string& titlePattern() {
    static const std::string pattern = std::string("^") + kWindowTitle + "$";
    return pattern;
}

}  // namespace

HouseSession::HouseSession(Arguments arguments, const std::vector<std::string>& extraEnvironment,
                           Desktop desktop)
    : HouseSession(kHouseProgram,
                   arguments == Arguments::Empty ? std::vector<std::string>{}
                                                 : std::vector<std::string>{kHouseProgram},
                   extraEnvironment, desktop) {}

HouseSession::HouseSession(const std::string& program, const std::vector<std::string>& argv,
                           const std::vector<std::string>& extraEnvironment, Desktop desktop)
    : windowManager_(startWindowManager(server_.display(), desktop)),
      process_(program, argv, environmentWithDisplay(server_.display(), extraEnvironment)) {
    const CommandResult found = runCommand(
        {"xdotool", "search", "--sync", "--name", titlePattern()}, display(), kWindowSearchSeconds);
    std::istringstream lines(found.out);
    std::getline(lines, window_);
    if (window_.empty())
        throw std::runtime_error("no window titled \"" + std::string(kWindowTitle) +
                                 "\" appeared; program output: " + process_.output());
    // The first frame: the clear colour shows in the top corner once drawn.
    const double deadline = monotonicSeconds() + kWindowSearchSeconds;
    while (!near(capture().at(0, 0), kSky, kCaptureSteps)) {
        checkProgress(deadline, "the first frame to show the sky");
        sleepFor(0.05);
    }
    settle();
}

std::string HouseSession::xTool(const std::vector<std::string>& argv) {
    const CommandResult done = runCommand(argv, display());
    if (!done.succeeded())
        throw std::runtime_error(argv[0] + " " + argv[1] + " failed: " + done.err);
    return done.out;
}

void HouseSession::checkProgress(double deadline, const char* waitingFor) {
    if (!process_.running()) throw std::runtime_error("the program ended: " + process_.output());
    if (monotonicSeconds() > deadline)
        throw std::runtime_error(std::string("gave up waiting for ") + waitingFor);
}

void HouseSession::keys(const std::string& sequence) {
    std::vector<KeyPress> presses;
    std::string error;
    if (!parseKeySequence(sequence, presses, error)) throw std::invalid_argument(error);
    std::vector<std::string> names;
    for (const KeyPress& press : presses) names.push_back(xKeyName(press));
    xKeys(names);
}

void HouseSession::xKeys(const std::vector<std::string>& names) {
    for (size_t first = 0; first < names.size(); first += kKeysPerCall) {
        std::vector<std::string> command = {"xdotool", "key", "--window", window_, "--delay", "0"};
        for (size_t i = first; i < names.size() && i < first + kKeysPerCall; ++i)
            command.push_back(names[i]);
        xTool(command);
    }
}

void HouseSession::pressOnly(const std::string& name) {
    runCommand({"xdotool", "keydown", "--window", window_, name}, display());
}

void HouseSession::closeThroughWindowManager() {
    xTool({"xdotool", "windowactivate", "--sync", window_});
    xTool({"xdotool", "key", "alt+F4"});
}

Picture HouseSession::capture() {
    // A window that is being mapped or resized cannot be read for a moment.
    const double deadline = monotonicSeconds() + kCaptureRetrySeconds;
    for (;;) {
        const CommandResult shot =
            runCommand({"import", "-window", window_, "-depth", "8", "ppm:-"}, display());
        if (shot.succeeded()) return Picture::fromPpm(shot.out);
        if (monotonicSeconds() > deadline) throw std::runtime_error("import failed: " + shot.err);
        sleepFor(0.05);
    }
}

Picture HouseSession::settle(double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    Picture last = capture();
    for (;;) {
        sleepFor(kSettleInterval);
        const bool idle = programIdle();
        Picture next = capture();
        if (idle && programIdle() && next == last) return next;
        checkProgress(deadline, "the picture to settle");
        last = std::move(next);
    }
}

Picture HouseSession::settleAfterChange(const Picture& before, double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    while (capture() == before) {
        checkProgress(deadline, "the picture to change");
        sleepFor(0.02);
    }
    return settle(deadline - monotonicSeconds());
}

void HouseSession::waitUntilIdle(double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    long ticks = cpuTicks();
    for (int quietChecks = 0; quietChecks < 3;) {
        checkProgress(deadline, "the program to become idle");
        sleepFor(kSettleInterval);
        const long next = cpuTicks();
        quietChecks = next == ticks && programIdle() ? quietChecks + 1 : 0;
        ticks = next;
    }
}

WindowGeometry HouseSession::geometry() {
    const std::string info = xTool({"xwininfo", "-id", window_});
    return WindowGeometry{numberAfter(info, "Absolute upper-left X:"),
                          numberAfter(info, "Absolute upper-left Y:"),
                          numberAfter(info, "Width:"), numberAfter(info, "Height:")};
}

WindowGeometry HouseSession::waitForSize(int width, int height, double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    for (;;) {
        const WindowGeometry g = geometry();
        if ((g.width == width && g.height == height) || monotonicSeconds() > deadline) return g;
        sleepFor(0.02);
    }
}

void HouseSession::resize(int width, int height) {
    xTool({"xdotool", "windowsize", window_, std::to_string(width), std::to_string(height)});
}

void HouseSession::move(int x, int y) {
    xTool({"xdotool", "windowmove", window_, std::to_string(x), std::to_string(y)});
}

std::string HouseSession::windowProperty(const std::string& name) {
    const CommandResult property = runCommand({"xprop", "-id", window_, name}, display());
    return property.succeeded() ? property.out : "";
}

std::string HouseSession::title() {
    const std::string name = windowProperty("WM_NAME");
    const size_t first = name.find('"');
    const size_t last = name.rfind('"');
    if (first == std::string::npos || last == first) return "";
    return name.substr(first + 1, last - first - 1);
}

bool HouseSession::windowExists() {
    const CommandResult found =
        runCommand({"xdotool", "search", "--name", titlePattern()}, display());
    return found.succeeded() && !found.out.empty();
}

}  // namespace e2e
