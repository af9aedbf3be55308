// Preloaded into the real program by house-bench to time its start-up from
// the inside, without changing it: each GLUT call wrapped here runs the real
// one (found with dlsym(RTLD_NEXT)) and notes the monotonic clock when it
// returns. At every buffer swap it writes a line to the descriptor named in
// HOUSE_BENCH_REPORT_FD; the first swap's line also carries the earlier
// marks and the GL strings. Times are nanoseconds since HOUSE_BENCH_START_NS,
// the moment house-bench forked the process.
//
// Without HOUSE_BENCH_REPORT_FD the wrappers only pass the calls on.
#include <GL/glut.h>
#include <dlfcn.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

long long gStartNs = 0;
long long gLoadedNs = -1;
long long gInitNs = -1;
long long gWindowNs = -1;
int gReportFd = -1;
long gSwaps = 0;

long long nowNs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

template <typename Function>
Function real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

void report(const char* text, int length) {
    if (gReportFd < 0 || length <= 0) return;
    // The line is short enough for one write to a pipe to stay whole.
    const ssize_t written = write(gReportFd, text, static_cast<size_t>(length));
    (void)written;
}

const char* glString(GLenum name) {
    using GetString = const GLubyte* (*)(GLenum);
    const GetString getString = reinterpret_cast<GetString>(dlsym(RTLD_DEFAULT, "glGetString"));
    const GLubyte* text = getString != nullptr ? getString(name) : nullptr;
    return text != nullptr ? reinterpret_cast<const char*>(text) : "?";
}

__attribute__((constructor)) void noteLoaded() {
    const char* fd = std::getenv("HOUSE_BENCH_REPORT_FD");
    const char* start = std::getenv("HOUSE_BENCH_START_NS");
    if (fd == nullptr || start == nullptr) return;
    gReportFd = std::atoi(fd);
    gStartNs = std::atoll(start);
    gLoadedNs = nowNs() - gStartNs;
}

}  // namespace

void glutInit(int* argc, char** argv) {
    static const auto next = real<void (*)(int*, char**)>("glutInit");
    if (next != nullptr) next(argc, argv);
    if (gReportFd >= 0) gInitNs = nowNs() - gStartNs;
}

int glutCreateWindow(const char* title) {
    static const auto next = real<int (*)(const char*)>("glutCreateWindow");
    const int window = next != nullptr ? next(title) : 0;
    if (gReportFd >= 0) gWindowNs = nowNs() - gStartNs;
    return window;
}

void glutSwapBuffers() {
    static const auto next = real<void (*)()>("glutSwapBuffers");
    if (next != nullptr) next();
    if (gReportFd < 0) return;
    const long long swapNs = nowNs() - gStartNs;
    ++gSwaps;
    char line[512];
    int length;
    if (gSwaps == 1) {
        length = std::snprintf(line, sizeof line,
                               "first loaded=%lld init=%lld window=%lld swap=%lld\n"
                               "renderer %s\nversion %s\n",
                               gLoadedNs, gInitNs, gWindowNs, swapNs, glString(GL_RENDERER),
                               glString(GL_VERSION));
    } else {
        length = std::snprintf(line, sizeof line, "swap %ld %lld\n", gSwaps, swapNs);
    }
    if (length >= static_cast<int>(sizeof line)) length = static_cast<int>(sizeof line) - 1;
    report(line, length);
}
