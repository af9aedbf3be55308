// Child processes and what the kernel knows about them, for the tests and
// the benchmarks: a runner and the /proc figures.
//
// Every child runs in a process group of its own and dies with the process
// that started it; the destructors stop whatever is still running, also
// when a test fails half-way.
#ifndef HOUSE_PROCESSES_PROCESSES_H
#define HOUSE_PROCESSES_PROCESSES_H

#include <sys/types.h>

#include <string>
#include <vector>

// Seconds since an arbitrary start, for deadlines and durations.
double monotonicSeconds();
void sleepFor(double seconds);

// $TMPDIR, or /tmp where it is unset or empty: where scratch files go.
std::string temporaryDirectory();

// The whole file, or "" if it cannot be read.
std::string readFile(const std::string& path);

// The environment of this process with DISPLAY replaced (or removed, for an
// empty display), and any extra NAME=value entries added.
std::vector<std::string> environmentWithDisplay(const std::string& display,
                                                const std::vector<std::string>& extra = {});

// A started program, its standard output and error going to scratch files.
class ChildProcess {
public:
    // `path` is looked up on PATH if it has no slash. argv may be empty: the
    // program is then started with no arguments at all, not even its own
    // name. environment is the complete environment.
    ChildProcess(const std::string& path, const std::vector<std::string>& argv,
                 const std::vector<std::string>& environment);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // The waitpid status once the process has ended, or -1 after the timeout.
    int waitForExit(double timeoutSeconds);
    std::string standardOutput() const;
    std::string standardError() const;
    std::string output() const { return standardOutput() + standardError(); }
    // Stops its process group (TERM, a grace period, KILL); the waitpid status.
    int stop();

private:
    pid_t pid_ = -1;
    int status_ = -1;
    bool ended_ = false;
    std::string outPath_, errPath_;
};

struct CommandResult {
    int status = -1;  // as from waitpid
    std::string out;
    std::string err;
    bool timedOut = false;

    bool succeeded() const;
    // The status it passed to exit, or -1 when a signal or the timeout ended it.
    int exitStatus() const;
};

// Runs a command (looked up on PATH) with DISPLAY set to the given display
// (unset if it is empty), waits for it at most timeoutSeconds, and collects
// both output streams.
CommandResult runCommand(const std::vector<std::string>& argv, const std::string& display,
                         double timeoutSeconds = 30);
// The same for `path` with exactly `argv` (which may be empty) and exactly
// `environment`.
CommandResult runProgram(const std::string& path, const std::vector<std::string>& argv,
                         const std::vector<std::string>& environment, double timeoutSeconds = 30);

// Reads from `fd` into `buffer` until it holds `lines` newlines; false on a
// timeout or an end of file first.
bool readLines(int fd, std::string& buffer, int lines, double timeoutSeconds);

// Figures of a live process from /proc; -1 (or '\0') once it is gone.
long statusKiB(pid_t pid, const std::string& field);  // "VmRSS", "VmHWM", ...
long cpuTicks(pid_t pid);                              // utime + stime, all threads
char processState(pid_t pid);                          // 'S' sleeping, 'R' running, ...

#endif
