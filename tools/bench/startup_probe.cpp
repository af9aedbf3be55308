#include "startup_probe.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "processes.h"

namespace {

// Xvfb answers in well under a second here; the program's first frame,
// with a cold disk cache, in a few.
const int kXvfbTimeoutMs = 10000;
const int kFirstFrameTimeoutMs = 20000;
// Frames GLUT asks for right after the first (a late expose) are start-up,
// not idling, so the idle window opens this long after the first frame.
const double kSettleSeconds = 0.25;

const char kScreen[] = "1280x1024x24";

void sleepSeconds(double seconds) {
    usleep(static_cast<useconds_t>(seconds * 1e6));
}

void quietStandardStreams() {
    const int null = open("/dev/null", O_RDWR);
    if (null < 0) return;
    dup2(null, STDIN_FILENO);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    if (null > STDERR_FILENO) close(null);
}

// Starts Xvfb on a display number it picks itself and reports through
// -displayfd, so parallel runs never collide. Returns its pid, or -1.
pid_t startXvfb(std::string& display, std::string& error) {
    int ready[2];
    if (pipe(ready) != 0) {
        error = "cannot make a pipe for Xvfb";
        return -1;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(ready[0]);
        quietStandardStreams();
        const std::string fd = std::to_string(ready[1]);
        execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", kScreen, "-nolisten",
               "tcp", static_cast<char*>(nullptr));
        _exit(127);
    }
    close(ready[1]);
    if (pid < 0) {
        close(ready[0]);
        error = "cannot fork for Xvfb";
        return -1;
    }
    std::string answer;
    const bool answered = readLines(ready[0], answer, 1, kXvfbTimeoutMs);
    close(ready[0]);
    if (!answered || answer.empty() || answer[0] < '0' || answer[0] > '9') {
        endChild(pid);
        error = "Xvfb did not report a display";
        return -1;
    }
    display = ":" + answer.substr(0, answer.find('\n'));
    return pid;
}

// The rest of the first line of `text` that starts with `key` and a space.
std::string valueOf(const std::string& text, const std::string& key) {
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        if (text.compare(begin, key.size() + 1, key + " ") == 0) {
            return text.substr(begin + key.size() + 1, end - begin - key.size() - 1);
        }
        begin = end + 1;
    }
    return "?";
}

long linesStartingWith(const std::string& text, const std::string& key) {
    long n = 0;
    size_t begin = 0;
    while (begin < text.size()) {
        size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        n += text.compare(begin, key.size() + 1, key + " ") == 0;
        begin = end + 1;
    }
    return n;
}

bool runOnce(const std::string& program, const std::string& shim, const std::string& display,
             double idleSeconds, StartupRun& run, StartupFigures& figures) {
    int report[2];
    if (pipe(report) != 0) {
        figures.error = "cannot make a pipe for the shim";
        return false;
    }
    fcntl(report[0], F_SETFD, FD_CLOEXEC);
    const long long startNs = monotonicNs();
    const pid_t pid = fork();
    if (pid == 0) {
        quietStandardStreams();
        setenv("DISPLAY", display.c_str(), 1);
        setenv("LD_PRELOAD", shim.c_str(), 1);
        setenv("HOUSE_BENCH_REPORT_FD", std::to_string(report[1]).c_str(), 1);
        setenv("HOUSE_BENCH_START_NS", std::to_string(startNs).c_str(), 1);
        execl(program.c_str(), program.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(report[1]);
    if (pid < 0) {
        close(report[0]);
        figures.error = "cannot fork for the program";
        return false;
    }

    std::string said;
    if (!readLines(report[0], said, 3, kFirstFrameTimeoutMs)) {
        close(report[0]);
        endChild(pid);
        figures.error = "no first frame reported: the program ended, or showed none within 20 s";
        return false;
    }
    run.peakResidentKb = peakResidentKb(pid);
    long long loaded = -1, init = -1, window = -1, swap = -1;
    std::sscanf(said.c_str(), "first loaded=%lld init=%lld window=%lld swap=%lld", &loaded,
                &init, &window, &swap);
    run.loadedMs = loaded / 1e6;
    run.initMs = init / 1e6;
    run.windowMs = window / 1e6;
    run.firstFrameMs = swap / 1e6;
    figures.renderer = valueOf(said, "renderer");
    figures.version = valueOf(said, "version");

    sleepSeconds(kSettleSeconds);
    readReady(report[0], said);
    const long framesBefore = linesStartingWith(said, "swap");
    const long long cpuBefore = cpuTimeNs(pid);
    sleepSeconds(idleSeconds);
    const long long cpuAfter = cpuTimeNs(pid);
    readReady(report[0], said);
    run.idleFrames = linesStartingWith(said, "swap") - framesBefore;
    run.idleCpuMs = cpuBefore >= 0 && cpuAfter >= cpuBefore ? (cpuAfter - cpuBefore) / 1e6 : -1;

    close(report[0]);
    int status = 0;
    const bool stillRunning = waitpid(pid, &status, WNOHANG) == 0;
    endChild(pid);
    if (!stillRunning) {
        figures.error = "the program ended by itself while idle";
        return false;
    }
    return true;
}

}  // namespace

StartupFigures probeStartup(const std::string& program, const std::string& shim, int runs,
                            double idleSeconds) {
    StartupFigures figures;
    figures.idleSeconds = idleSeconds;
    if (!onPath("Xvfb")) {
        figures.skipped = true;
        figures.error = "Xvfb is not installed";
        return figures;
    }
    if (access(program.c_str(), X_OK) != 0 || access(shim.c_str(), R_OK) != 0) {
        figures.error = "cannot find " + program + " or " + shim;
        return figures;
    }
    std::string display;
    const pid_t xvfb = startXvfb(display, figures.error);
    if (xvfb < 0) return figures;
    for (int i = 0; i < runs; ++i) {
        StartupRun run;
        if (!runOnce(program, shim, display, idleSeconds, run, figures)) break;
        figures.runs.push_back(run);
    }
    endChild(xvfb);
    figures.ok = figures.error.empty();
    return figures;
}
