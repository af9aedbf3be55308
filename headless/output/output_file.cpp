// Output files that are never left half-written. A replaced file is built
// as an unnamed O_TMPFILE file in the target's directory, so nothing named
// exists until it is complete: a run that is interrupted, even one killed
// outright, leaves nothing. Once written and synced, the file is linked
// under a short temporary name (".hs-PID-N", so any name the file system
// takes for the target works) and renamed over the target, with the
// terminating signals held off between the two calls so that no stray name
// can survive that window either.
//
// Where the file system refuses O_TMPFILE (some network and FUSE file
// systems do), the temporary file is named from the start; handlers for the
// terminating signals and one at exit remove it if the run ends first.
#include "output/output_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

namespace {

// The kernel's own limit on links followed in one lookup.
const int kMaxLinkHops = 40;
const int kTemporaryNameTries = 100;
const char kTemporaryPrefix[] = ".hs-";
const mode_t kPermissionBits = 07777;

// Signals that end the program and can be caught. The first four come from
// outside and are held off around the final rename; on any of them the
// named fallback file is removed.
const int kEndingSignals[] = {SIGHUP, SIGINT, SIGQUIT, SIGTERM, SIGABRT, SIGSEGV, SIGBUS};
const int kOutsideSignals = 4;

// The named fallback file while it exists, for the handlers to remove.
volatile sig_atomic_t pendingDirectory = -1;
char pendingName[32];  // ".hs-PID-N" takes at most 15

class HeldSignals {
public:
    HeldSignals() {
        sigset_t held;
        sigemptyset(&held);
        for (int i = 0; i < kOutsideSignals; ++i) sigaddset(&held, kEndingSignals[i]);
        sigprocmask(SIG_BLOCK, &held, &previous_);
    }
    ~HeldSignals() { sigprocmask(SIG_SETMASK, &previous_, nullptr); }
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

private:
    sigset_t previous_;
};

bool failWith(std::string& reason, int error) {
    reason = std::strerror(error);
    return false;
}

std::string directoryOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

// The file the path's last component finally names, following symbolic
// links as open would, also a link to a file yet to be made. A loop is left
// for stat to report.
std::string followLinks(std::string path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        char target[PATH_MAX];
        const ssize_t length = readlink(path.c_str(), target, sizeof target - 1);
        if (length < 0) {
            return path;  // not a link, or nothing there
        }
        target[length] = '\0';
        path = target[0] == '/' ? std::string(target) : directoryOf(path) + target;
    }
    return path;
}

// Unique among this process's tries; another process's leftover only costs
// a try.
std::string temporaryName(int attempt) {
    return kTemporaryPrefix + std::to_string(getpid()) + "-" + std::to_string(attempt);
}

void removePendingFile() {
    if (pendingDirectory >= 0) unlinkat(pendingDirectory, pendingName, 0);
    pendingDirectory = -1;
}

// Installed with SA_RESETHAND: the signal raised again ends the program as
// it would have without the handler.
void removePendingFileAndEnd(int signal) {
    removePendingFile();
    raise(signal);
}

// The fallback: a named file, created with the outside signals held off so
// that it cannot exist before the handlers know its name.
int openNamedTemporary(const OutputFile& output) {
    struct sigaction action {};
    action.sa_handler = removePendingFileAndEnd;
    action.sa_flags = SA_RESETHAND;
    for (int signal : kEndingSignals) sigaction(signal, &action, nullptr);
    std::atexit(removePendingFile);
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        const std::string name = temporaryName(attempt);
        const HeldSignals held;
        const int descriptor = openat(output.directory, name.c_str(),
                                      O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666);
        if (descriptor >= 0) {
            std::snprintf(pendingName, sizeof pendingName, "%s", name.c_str());
            pendingDirectory = output.directory;
            return descriptor;
        }
        if (errno != EEXIST) return -1;
    }
    return -1;
}

// Kernels that predate O_TMPFILE see only O_DIRECTORY in it and say EISDIR.
int openTemporary(OutputFile& output) {
    const int descriptor = openat(output.directory, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
    output.unnamed = descriptor >= 0;
    if (descriptor >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) {
        return descriptor;
    }
    return openNamedTemporary(output);
}

bool useDescriptor(int descriptor, OutputFile& output, std::string& reason) {
    output.stream = descriptor == STDOUT_FILENO ? stdout : fdopen(descriptor, "wb");
    return output.stream != nullptr || failWith(reason, errno);
}

// A new file gets 0666 less the umask, as from open; an existing one keeps
// its mode and, where root can give it, its owner.
bool openReplacement(const std::string& target, const struct stat* existing, OutputFile& output,
                     std::string& reason) {
    const std::string directory = directoryOf(target);
    output.name = target.substr(directory.size());
    if (output.name.size() > NAME_MAX) return failWith(reason, ENAMETOOLONG);
    if (existing != nullptr && access(target.c_str(), W_OK) != 0) return failWith(reason, errno);
    output.directory =
        open(directory.empty() ? "." : directory.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (output.directory < 0) return failWith(reason, errno);
    const int descriptor = openTemporary(output);
    if (descriptor < 0) return failWith(reason, errno);
    if (existing != nullptr &&
        ((geteuid() == 0 && fchown(descriptor, existing->st_uid, existing->st_gid) != 0) ||
         fchmod(descriptor, existing->st_mode & kPermissionBits) != 0)) {
        return failWith(reason, errno);
    }
    return useDescriptor(descriptor, output, reason);
}

// Links the finished unnamed file under a temporary name and renames that
// over the target. Returns 0 or the errno of the step that failed.
int nameAndRename(const OutputFile& output) {
    const std::string self = "/proc/self/fd/" + std::to_string(fileno(output.stream));
    for (int attempt = 0; attempt < kTemporaryNameTries; ++attempt) {
        const std::string temporary = temporaryName(attempt);
        const char* name = temporary.c_str();
        if (linkat(AT_FDCWD, self.c_str(), output.directory, name, AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST) continue;
            return errno;
        }
        if (renameat(output.directory, name, output.directory, output.name.c_str()) == 0) {
            return 0;
        }
        const int error = errno;
        unlinkat(output.directory, name, 0);
        return error;
    }
    return EEXIST;
}

int renameNamedTemporary(const OutputFile& output) {
    if (renameat(output.directory, pendingName, output.directory, output.name.c_str()) == 0) {
        pendingDirectory = -1;
        return 0;
    }
    const int error = errno;
    removePendingFile();
    return error;
}

}  // namespace

void prepareOutputs() {
    for (int descriptor = STDIN_FILENO; descriptor <= STDERR_FILENO; ++descriptor) {
        if (fcntl(descriptor, F_GETFD) >= 0 || errno != EBADF) continue;
        // The lowest free number, which is this one, the lower ones being
        // open. An O_PATH descriptor refuses read and write with EBADF, the
        // very error of a closed one, and "/" is there in any chroot.
        open("/", O_PATH | O_DIRECTORY);
    }
    signal(SIGPIPE, SIG_IGN);
    signal(SIGXFSZ, SIG_IGN);
}

// Binary data on a terminal would only garble it.
bool refuseTerminal(int descriptor, const char* contents, std::string& reason) {
    if (!isatty(descriptor)) return false;
    reason = std::string("it is a terminal, and ") + contents + " would only garble it";
    return true;
}

bool openOutput(const std::string& path, const char* contents, OutputFile& output,
                std::string& reason) {
    if (path == "-") {
        return !refuseTerminal(STDOUT_FILENO, contents, reason) &&
               useDescriptor(STDOUT_FILENO, output, reason);
    }
    if (path.back() == '/') return failWith(reason, EISDIR);
    const std::string target = followLinks(path);
    struct stat existing;
    if (stat(target.c_str(), &existing) != 0) {
        return errno == ENOENT ? openReplacement(target, nullptr, output, reason)
                               : failWith(reason, errno);
    }
    if (S_ISDIR(existing.st_mode)) return failWith(reason, EISDIR);
    if (S_ISREG(existing.st_mode)) return openReplacement(target, &existing, output, reason);
    const int descriptor = open(target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
    if (descriptor < 0) return failWith(reason, errno);
    if (refuseTerminal(descriptor, contents, reason)) {
        close(descriptor);
        return false;
    }
    return useDescriptor(descriptor, output, reason);
}

bool commitOutput(OutputFile& output, std::string& reason) {
    FILE* stream = output.stream;
    if (std::fflush(stream) != 0) return failWith(reason, errno);
    if (output.directory < 0) {
        return stream == stdout || std::fclose(stream) == 0 || failWith(reason, errno);
    }
    if (fsync(fileno(stream)) != 0) return failWith(reason, errno);
    int error = 0;
    {
        const HeldSignals held;
        error = output.unnamed ? nameAndRename(output) : renameNamedTemporary(output);
    }
    std::fclose(stream);
    output.stream = nullptr;
    close(output.directory);
    return error == 0 || failWith(reason, error);
}
