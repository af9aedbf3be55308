#include "processes.h"

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

std::vector<char*> argumentVector(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const std::string& a : argv) out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

// Ticks-based fallback: utime and stime, fields 14 and 15 of stat, counted
// after the command name, which may itself hold spaces.
long long cpuTimeFromStat(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/stat", static_cast<int>(pid));
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return -1;
    char text[1024];
    const size_t n = std::fread(text, 1, sizeof text - 1, file);
    std::fclose(file);
    text[n] = '\0';
    const char* afterName = std::strrchr(text, ')');
    if (afterName == nullptr) return -1;
    unsigned long long utime = 0;
    unsigned long long stime = 0;
    // Fields 3 to 13 come first: state, then ten numbers.
    if (std::sscanf(afterName + 1, " %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                    &utime, &stime) != 2) {
        return -1;
    }
    return static_cast<long long>((utime + stime) * (1000000000ULL / sysconf(_SC_CLK_TCK)));
}

}  // namespace

long long monotonicNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

int runAndRead(const std::vector<std::string>& argv, std::string& output) {
    output.clear();
    int out[2];
    if (argv.empty() || pipe(out) != 0) return -1;
    std::vector<char*> args = argumentVector(argv);
    const pid_t pid = fork();
    if (pid < 0) {
        close(out[0]);
        close(out[1]);
        return -1;
    }
    if (pid == 0) {
        dup2(out[1], STDOUT_FILENO);
        close(out[0]);
        close(out[1]);
        execv(args[0], args.data());
        _exit(127);
    }
    close(out[1]);
    char chunk[4096];
    for (;;) {
        const ssize_t n = read(out[0], chunk, sizeof chunk);
        if (n > 0) {
            output.append(chunk, static_cast<size_t>(n));
        } else if (n == 0 || errno != EINTR) {
            break;
        }
    }
    close(out[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool onPath(const char* name) {
    const char* path = std::getenv("PATH");
    if (path == nullptr) return false;
    std::string dirs = path;
    size_t begin = 0;
    while (begin <= dirs.size()) {
        size_t end = dirs.find(':', begin);
        if (end == std::string::npos) end = dirs.size();
        const std::string candidate = dirs.substr(begin, end - begin) + "/" + name;
        if (end > begin && access(candidate.c_str(), X_OK) == 0) return true;
        begin = end + 1;
    }
    return false;
}

bool readLines(int fd, std::string& buffer, int lines, int timeoutMs) {
    const long long deadline = monotonicNs() + static_cast<long long>(timeoutMs) * 1000000LL;
    auto newlines = [&buffer]() {
        int count = 0;
        for (char c : buffer) count += c == '\n';
        return count;
    };
    while (newlines() < lines) {
        const long long left = (deadline - monotonicNs()) / 1000000LL;
        if (left <= 0) return false;
        pollfd watch = {fd, POLLIN, 0};
        const int ready = poll(&watch, 1, static_cast<int>(left));
        if (ready < 0 && errno == EINTR) continue;
        if (ready <= 0) return false;
        char chunk[1024];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        buffer.append(chunk, static_cast<size_t>(n));
    }
    return true;
}

void readReady(int fd, std::string& buffer) {
    for (;;) {
        pollfd watch = {fd, POLLIN, 0};
        if (poll(&watch, 1, 0) <= 0) return;
        char chunk[1024];
        const ssize_t n = read(fd, chunk, sizeof chunk);
        if (n <= 0) return;
        buffer.append(chunk, static_cast<size_t>(n));
    }
}

void endChild(pid_t pid) {
    if (pid <= 0) return;
    kill(pid, SIGTERM);
    int status = 0;
    for (int waited = 0; waited < 100; ++waited) {
        if (waitpid(pid, &status, WNOHANG) != 0) return;
        usleep(10000);
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
}

long peakResidentKb(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    std::FILE* file = std::fopen(path, "r");
    if (file == nullptr) return -1;
    char line[256];
    long kb = -1;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::sscanf(line, "VmHWM: %ld kB", &kb) == 1) break;
    }
    std::fclose(file);
    return kb;
}

long long cpuTimeNs(pid_t pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%d/task", static_cast<int>(pid));
    DIR* tasks = opendir(path);
    if (tasks == nullptr) return cpuTimeFromStat(pid);
    long long total = 0;
    bool any = false;
    while (dirent* entry = readdir(tasks)) {
        if (entry->d_name[0] == '.') continue;
        const std::string statPath = std::string(path) + "/" + entry->d_name + "/schedstat";
        std::FILE* file = std::fopen(statPath.c_str(), "r");
        if (file == nullptr) continue;
        long long onCpu = 0;
        if (std::fscanf(file, "%lld", &onCpu) == 1) {
            total += onCpu;
            any = true;
        }
        std::fclose(file);
    }
    closedir(tasks);
    return any ? total : cpuTimeFromStat(pid);
}
