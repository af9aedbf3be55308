#include "support/processes/processes.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
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

namespace {

const double kStopGraceSeconds = 5;
// How often a wait looks whether a child has ended, where the kernel cannot
// say so itself: short against the tenths of a second the X tools take.
const double kExitPollSeconds = 0.002;

// The argument or environment vector for exec: pointers into the strings,
// then a null.
std::vector<char*> pointers(std::vector<std::string>& strings) {
    std::vector<char*> result;
    for (std::string& s : strings) result.push_back(&s[0]);
    result.push_back(nullptr);
    return result;
}

int scratchFile(std::string& path) {
    path = temporaryDirectory() + "/house-child-XXXXXX";
    const int fd = mkostemp(&path[0], O_CLOEXEC);
    if (fd < 0) throw std::runtime_error("cannot make a scratch file in " + temporaryDirectory());
    return fd;
}

// Waits until a child that has not been reaped yet ends, or the time is up,
// and leaves it unreaped; true if it ended. A process descriptor becomes
// readable the moment the child ends, so the wait takes no longer than the
// child does.
bool awaitEnd(pid_t pid, double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    const int descriptor = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    bool ended = false;
    for (;;) {
        siginfo_t info{};
        ended = waitid(P_PID, pid, &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid == pid;
        const double left = deadline - monotonicSeconds();
        if (ended || left <= 0) break;
        pollfd watch = {descriptor, POLLIN, 0};
        if (descriptor < 0 || poll(&watch, 1, static_cast<int>(left * 1000) + 1) < 0)
            sleepFor(kExitPollSeconds);
    }
    if (descriptor >= 0) close(descriptor);
    return ended;
}

// Stops a process group: TERM, a grace period, then KILL. The leader is
// reaped only after the last signal: until then its id cannot be taken by
// another process, so the signals reach only what this process started.
int stopGroup(pid_t pid) {
    kill(-pid, SIGTERM);
    awaitEnd(pid, kStopGraceSeconds);
    kill(-pid, SIGKILL);
    int status = -1;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

}  // namespace

std::string temporaryDirectory() {
    const char* base = std::getenv("TMPDIR");
    return base != nullptr && *base != '\0' ? base : "/tmp";
}

double monotonicSeconds() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec + t.tv_nsec / 1e9;
}

void sleepFor(double seconds) {
    timespec t;
    t.tv_sec = static_cast<time_t>(seconds);
    t.tv_nsec = static_cast<long>((seconds - t.tv_sec) * 1e9);
    while (nanosleep(&t, &t) != 0 && errno == EINTR) {
    }
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
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

// The child takes a process group of its own, so that it can be stopped with
// everything it starts, and dies with its parent, even when that one
// crashes. The parent sets the group too, so that no signal to the group can
// come before the child has it.
ChildProcess::ChildProcess(const std::string& path, const std::vector<std::string>& argv,
                           const std::vector<std::string>& environment) {
    const int out = scratchFile(outPath_);
    const int err = scratchFile(errPath_);
    std::vector<std::string> args = argv, env = environment;
    std::vector<char*> argp = pointers(args);  // just {NULL} for an empty vector
    std::vector<char*> envp = pointers(env);
    pid_ = fork();
    if (pid_ < 0) {
        close(out);
        close(err);
        unlink(outPath_.c_str());
        unlink(errPath_.c_str());
        throw std::runtime_error("fork failed");
    }
    if (pid_ == 0) {
        setpgid(0, 0);
        prctl(PR_SET_PDEATHSIG, SIGKILL);
        dup2(out, STDOUT_FILENO);
        dup2(err, STDERR_FILENO);
        execvpe(path.c_str(), argp.data(), envp.data());
        _exit(127);
    }
    setpgid(pid_, pid_);
    close(out);
    close(err);
}

ChildProcess::~ChildProcess() {
    stop();
    unlink(outPath_.c_str());
    unlink(errPath_.c_str());
}

bool ChildProcess::running() {
    if (!ended_ && waitpid(pid_, &status_, WNOHANG) == pid_) ended_ = true;
    return !ended_;
}

int ChildProcess::waitForExit(double timeoutSeconds) {
    if (running()) awaitEnd(pid_, timeoutSeconds);
    return running() ? -1 : status_;
}

std::string ChildProcess::standardOutput() const { return readFile(outPath_); }

std::string ChildProcess::standardError() const { return readFile(errPath_); }

int ChildProcess::stop() {
    if (pid_ > 0 && running()) {
        status_ = stopGroup(pid_);
        ended_ = true;
    }
    return status_;
}

bool CommandResult::succeeded() const { return exitStatus() == 0; }

int CommandResult::exitStatus() const {
    return !timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

CommandResult runCommand(const std::vector<std::string>& argv, const std::string& display,
                         double timeoutSeconds) {
    return runProgram(argv.at(0), argv, environmentWithDisplay(display), timeoutSeconds);
}

CommandResult runProgram(const std::string& path, const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, double timeoutSeconds) {
    ChildProcess child(path, argv, environment);
    CommandResult result;
    result.status = child.waitForExit(timeoutSeconds);
    result.timedOut = result.status == -1;
    if (result.timedOut) result.status = child.stop();
    result.out = child.standardOutput();
    result.err = child.standardError();
    return result;
}

bool readLines(int fd, std::string& buffer, int lines, double timeoutSeconds) {
    const double deadline = monotonicSeconds() + timeoutSeconds;
    size_t newlines = 0;
    for (char c : buffer) newlines += c == '\n';
    while (newlines < static_cast<size_t>(lines)) {
        const double left = deadline - monotonicSeconds();
        if (left <= 0) return false;
        pollfd watch = {fd, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left * 1000) + 1);
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char chunk[1024];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(n));
        for (ssize_t i = 0; i < n; ++i) newlines += chunk[i] == '\n';
    }
    return true;
}

long statusKiB(pid_t pid, const std::string& field) {
    const std::string status = readFile("/proc/" + std::to_string(pid) + "/status");
    const size_t at = status.find("\n" + field + ":");
    return at == std::string::npos ? -1 : std::atol(status.c_str() + at + field.size() + 2);
}

// Fields 3, 14 and 15 of /proc/<pid>/stat, counted after the command name,
// which may itself hold spaces and ends at the last ')'.
long cpuTicks(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return -1;
    std::istringstream fields(stat.substr(close + 2));
    std::string field;
    long ticks = 0;
    for (int index = 3; index <= 15 && fields >> field; ++index)
        if (index >= 14) ticks += std::stol(field);
    return ticks;
}

char processState(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const size_t close = stat.rfind(')');
    return close != std::string::npos && close + 2 < stat.size() ? stat[close + 2] : '\0';
}
