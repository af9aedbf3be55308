// Child processes for the benchmark: starting them, reading what they say,
// and what the kernel knows about them.
#ifndef HOUSE_TOOLS_BENCH_PROCESSES_H
#define HOUSE_TOOLS_BENCH_PROCESSES_H

#include <string>
#include <sys/types.h>
#include <vector>

long long monotonicNs();

// Runs `argv` to completion with its standard output in `output`. Returns
// its exit status, or -1 if it could not be started or was killed.
int runAndRead(const std::vector<std::string>& argv, std::string& output);

// True if `name` is an executable file in a directory on PATH.
bool onPath(const char* name);

// Reads from `fd` into `buffer` until `buffer` holds `lines` newlines or
// `timeoutMs` pass; false on a timeout or an end of file first.
bool readLines(int fd, std::string& buffer, int lines, int timeoutMs);

// Appends whatever `fd` has ready now, without waiting.
void readReady(int fd, std::string& buffer);

// Ends a child this program started: SIGTERM, then SIGKILL if it has not
// gone within a second; reaps it either way.
void endChild(pid_t pid);

// Peak resident set (VmHWM) of a live process in KiB, or -1.
long peakResidentKb(pid_t pid);

// CPU time used so far by all threads of a live process, in nanoseconds,
// or -1. Nanosecond scheduler figures where the kernel keeps them, clock
// ticks otherwise.
long long cpuTimeNs(pid_t pid);

#endif
