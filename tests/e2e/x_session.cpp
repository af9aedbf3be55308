#include "x_session.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <stdexcept>

extern char** environ;

namespace e2e {

const char kWindowTitle[] =
    "Orvend Tamsk i Ilvar Druneck - Projekt zaliczeniowy z Grafiki Komputerowej";

namespace {

const double kStopGraceSeconds = 5;
const double kServerStartSeconds = 30;
const double kWindowSearchSeconds = 30;
const double kCaptureRetrySeconds = 2;
// The picture counts as settled once two captures this far apart agree.
const double kSettleInterval = 0.1;
// Keys per xdotool call: long enough to be quick, short enough for any
// command-line limit.
const size_t kKeysPerCall = 250;

// The argument or environment vector for exec: pointers into the strings,
// then a null.
std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) result.push_back(&s[0]);
    result.push_back(nullptr);
    return result;
}

// Stops a process group: TERM, a grace period, then KILL. The leader is
// reaped only after the last signal: until then its id cannot be taken by
// another process, so the signals reach only what the test started.
// Returns the waitpid status of the leader.
int stopGroup(pid_t pid) {
    kill(-pid, SIGTERM);
    const double deadline = now() + kStopGraceSeconds;
    while (now() < deadline) {
        siginfo_t info{};
        if (waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid)
            break;
        pause(0.01);
    }
    kill(-pid, SIGKILL);
    int status = -1;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// Every child runs in a process group of its own, so that it can be
// stopped with everything it starts, and dies with the test process, even
// when that one crashes. The parent sets the group too, so that no signal
// to the group can come before the child has it.
pid_t forkChild() {
    const pid_t pid = fork();
    if (pid < 0) throw std::runtime_error("fork failed");
    if (pid == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
    } else {
        setpgid(pid, pid);
    }
    return pid;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string afterLabel(const std::string& text, const std::string& label) {
    const size_t at = text.find(label);
    if (at == std::string::npos) return "";
    const size_t start = at + label.size();
    const size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

int numberAfter(const std::string& text, const std::string& label) {
    const std::string value = afterLabel(text, label);
    if (value.empty()) throw std::runtime_error("no \"" + label + "\" in: " + text);
    return std::stoi(value);
}

}  // namespace

double now() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void pause(double seconds) {
    timespec t;
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>((seconds - t.tv_sec) * 1e9);
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

bool CommandResult::succeeded() const {
    return !timedOut && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> environmentWithDisplay(const std::string& display,
                                                const std::vector<std::string>& extra) {
    std::vector<std::string> result;
    for (char** entry = environ; *entry != nullptr; ++entry)
        if (std::strncmp(*entry, "DISPLAY=", 8) != 0) result.push_back(*entry);
    if (!display.empty()) result.push_back("DISPLAY=" + display);
    result.insert(result.end(), extra.begin(), extra.end());
    return result;
}

CommandResult runCommand(const std::vector<std::string>& argv, const std::string& display,
                         double timeoutSeconds) {
    int out[2], err[2];
    if (pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe failed");
    std::vector<std::string> args = argv;
    std::vector<std::string> env = environmentWithDisplay(display);
    std::vector<char*> argp = pointers(args);
    std::vector<char*> envp = pointers(env);
    const pid_t pid = forkChild();
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execvpe(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    CommandResult result;
    const double deadline = now() + timeoutSeconds;
    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    int open = 2;
    while (open > 0) {
        const double left = deadline - now();
        if (left <= 0) {
            result.timedOut = true;
            break;
        }
        if (poll(fds, 2, static_cast<int>(left * 1000) + 1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || fds[i].revents == 0) continue;
            char buffer[65536];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                (i == 0 ? result.out : result.err).append(buffer, n);
            } else if (n == 0 || errno != EINTR) {
                close(fds[i].fd);
                fds[i].fd = -1;
                --open;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0) close(fd.fd);
    if (result.timedOut) {
        result.status = stopGroup(pid);
    } else {
        while (waitpid(pid, &result.status, 0) < 0 && errno == EINTR) {
        }
    }
    return result;
}

ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
    char scratch[] = "/tmp/house-e2e-output-XXXXXX";
    const int outputFd = mkstemp(scratch);
    if (outputFd < 0) throw std::runtime_error("mkstemp failed");
    outputPath_ = scratch;
    std::vector<std::string> args = argv;
    std::vector<std::string> env = environment;
    std::vector<char*> argp = pointers(args);  // just {NULL} for an empty vector
    std::vector<char*> envp = pointers(env);
    pid_ = forkChild();
    if (pid_ == 0) {
        dup2(outputFd, STDOUT_FILENO);
        dup2(outputFd, STDERR_FILENO);
        execve(path.c_str(), argp.data(), envp.data());
        _exit(127);
    }
    close(outputFd);
}

ChildProcess::~ChildProcess() {
    stop();
    unlink(outputPath_.c_str());
}

bool ChildProcess::running() {
    if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return !ended_;
}

int ChildProcess::waitForExit(double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    while (running()) {
        if (now() > deadline) return -1;
        pause(0.01);
    }
    return status_;
}

std::string ChildProcess::output() const { return readFile(outputPath_); }

void ChildProcess::stop() {
    if (pid_ > 0 && running()) {
        status_ = stopGroup(pid_);
        ended_ = true;
    }
}

XServer::XServer() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
    pid_ = forkChild();
    if (pid_ == 0) {
        fcntl(fds[1], F_SETFD, 0);  // the server writes its display number here
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDOUT_FILENO);
        dup2(quiet, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24",
               "-nolisten", "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    std::string number;
    const double deadline = now() + kServerStartSeconds;
    pollfd fd{fds[0], POLLIN, 0};
    while (number.find('\n') == std::string::npos && now() < deadline) {
        if (poll(&fd, 1, 100) <= 0) continue;
        char buffer[32];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0) break;
        number.append(buffer, n);
    }
    close(fds[0]);
    if (number.find('\n') == std::string::npos) {
        stopGroup(pid_);
        throw std::runtime_error("Xvfb did not report a display (is it installed?)");
    }
    display_ = ":" + number.substr(0, number.find('\n'));
}

XServer::~XServer() {
    if (pid_ > 0) stopGroup(pid_);
}

HouseSession::HouseSession(Arguments arguments, const std::vector<std::string>& extraEnvironment)
    : process_(HOUSE_BINARY,
               arguments == Arguments::Empty ? std::vector<std::string>{}
                                             : std::vector<std::string>{HOUSE_BINARY},
               environmentWithDisplay(server_.display(), extraEnvironment)) {
    const CommandResult found =
        runCommand({"xdotool", "search", "--sync", "--name", std::string("^") + kWindowTitle + "$"},
                   display(), kWindowSearchSeconds);
    std::istringstream lines(found.out);
    std::getline(lines, window_);
    if (window_.empty())
        throw std::runtime_error("no window titled \"" + std::string(kWindowTitle) +
                                 "\" appeared; program output: " + process_.output());
    // The first frame: the clear colour shows in the top corner once drawn.
    const double deadline = now() + kWindowSearchSeconds;
    while (!near(capture().at(0, 0), kSky)) {
        if (now() > deadline) throw std::runtime_error("the first frame never showed the sky");
        pause(0.05);
    }
    settle();
}

void HouseSession::keys(const std::vector<std::string>& names) {
    for (size_t first = 0; first < names.size(); first += kKeysPerCall) {
        std::vector<std::string> command = {"xdotool", "key", "--window", window_, "--delay", "0"};
        for (size_t i = first; i < names.size() && i < first + kKeysPerCall; ++i)
            command.push_back(names[i]);
        const CommandResult sent = runCommand(command, display());
        if (!sent.succeeded()) throw std::runtime_error("xdotool key failed: " + sent.err);
    }
}

void HouseSession::keys(const std::string& name, int times) {
    keys(std::vector<std::string>(times, name));
}

void HouseSession::pressOnly(const std::string& name) {
    runCommand({"xdotool", "keydown", "--window", window_, name}, display());
}

Picture HouseSession::capture() {
    // A window that is being mapped or resized cannot be read for a moment.
    const double deadline = now() + kCaptureRetrySeconds;
    for (;;) {
        const CommandResult shot =
            runCommand({"import", "-window", window_, "-depth", "8", "ppm:-"}, display());
        if (shot.succeeded()) return Picture::fromPpm(shot.out);
        if (now() > deadline) throw std::runtime_error("import failed: " + shot.err);
        pause(0.05);
    }
}

bool HouseSession::programIdle() {
    // The third field of /proc/<pid>/stat is the state: S while the program
    // waits for X events, R while it handles them or draws.
    const std::string stat = readFile("/proc/" + std::to_string(process_.pid()) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() && stat[close + 2] == 'S';
}

Picture HouseSession::settle(double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    Picture last = capture();
    for (;;) {
        pause(kSettleInterval);
        const bool idle = programIdle();
        Picture next = capture();
        if (idle && programIdle() && next == last) return next;
        if (!process_.running()) throw std::runtime_error("the program ended: " + process_.output());
        if (now() > deadline) throw std::runtime_error("the picture did not settle");
        last = std::move(next);
    }
}

Picture HouseSession::settleAfterChange(const Picture& before, double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    while (capture() == before) {
        if (!process_.running()) throw std::runtime_error("the program ended: " + process_.output());
        if (now() > deadline) throw std::runtime_error("the picture did not change");
        pause(0.02);
    }
    return settle(deadline - now());
}

void HouseSession::waitUntilIdle(double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    long ticks = cpuTicks();
    int quietChecks = 0;
    while (quietChecks < 3) {
        if (now() > deadline) throw std::runtime_error("the program did not become idle");
        pause(kSettleInterval);
        const long next = cpuTicks();
        quietChecks = next == ticks && programIdle() ? quietChecks + 1 : 0;
        ticks = next;
    }
}

WindowGeometry HouseSession::geometry() {
    const CommandResult info = runCommand({"xwininfo", "-id", window_}, display());
    if (!info.succeeded()) throw std::runtime_error("xwininfo failed: " + info.err);
    WindowGeometry g;
    g.x = numberAfter(info.out, "Absolute upper-left X:");
    g.y = numberAfter(info.out, "Absolute upper-left Y:");
    g.width = numberAfter(info.out, "Width:");
    g.height = numberAfter(info.out, "Height:");
    return g;
}

WindowGeometry HouseSession::waitForSize(int width, int height, double timeoutSeconds) {
    const double deadline = now() + timeoutSeconds;
    for (;;) {
        const WindowGeometry g = geometry();
        if ((g.width == width && g.height == height) || now() > deadline) return g;
        pause(0.02);
    }
}

void HouseSession::resize(int width, int height) {
    const CommandResult done =
        runCommand({"xdotool", "windowsize", window_, std::to_string(width), std::to_string(height)},
                   display());
    if (!done.succeeded()) throw std::runtime_error("xdotool windowsize failed: " + done.err);
}

void HouseSession::move(int x, int y) {
    const CommandResult done = runCommand(
        {"xdotool", "windowmove", window_, std::to_string(x), std::to_string(y)}, display());
    if (!done.succeeded()) throw std::runtime_error("xdotool windowmove failed: " + done.err);
}

std::string HouseSession::title() {
    const CommandResult name = runCommand({"xprop", "-id", window_, "WM_NAME"}, display());
    const size_t first = name.out.find('"');
    const size_t last = name.out.rfind('"');
    if (!name.succeeded() || first == std::string::npos || last == first) return "";
    return name.out.substr(first + 1, last - first - 1);
}

bool HouseSession::windowExists() {
    const CommandResult found = runCommand(
        {"xdotool", "search", "--name", std::string("^") + kWindowTitle + "$"}, display());
    return found.succeeded() && !found.out.empty();
}

long HouseSession::residentKiB() {
    const std::string status =
        readFile("/proc/" + std::to_string(process_.pid()) + "/status");
    const std::string value = afterLabel(status, "VmRSS:");
    return value.empty() ? -1 : std::stol(value);
}

long HouseSession::cpuTicks() {
    // Fields 14 and 15 of /proc/<pid>/stat, counted after the command name,
    // which may itself hold spaces and ends at the last ')'.
    const std::string stat = readFile("/proc/" + std::to_string(process_.pid()) + "/stat");
    std::istringstream fields(stat.substr(stat.rfind(')') + 2));
    std::string field;
    long utime = 0, stime = 0;
    for (int index = 3; fields >> field; ++index) {
        if (index == 14) utime = std::stol(field);
        if (index == 15) {
            stime = std::stol(field);
            break;
        }
    }
    return utime + stime;
}

}  // namespace e2e
