// The start-up figures lean on these helpers: a wrong status, a read that
// never gives up, or a CPU clock that does not move would each print a
// plausible but false number.
#include <gtest/gtest.h>

#include <unistd.h>

#include <string>

#include "processes.h"

namespace {

TEST(RunAndRead, HandsBackTheChildsOutputAndExitStatus) {
    std::string output;
    EXPECT_EQ(runAndRead({"/bin/sh", "-c", "echo frames 3; echo calls 7; exit 4"}, output), 4);
    EXPECT_EQ(output, "frames 3\ncalls 7\n");
    EXPECT_EQ(runAndRead({"/no/such/program"}, output), 127);
    EXPECT_EQ(runAndRead({"/bin/sh", "-c", "kill -9 $$"}, output), -1);
}

TEST(ReadLines, WaitsForWholeLinesAndGivesUpOnSilenceOrEnd) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string buffer;
    ASSERT_EQ(write(fds[1], "first a\nsecond", 14), 14);
    const long long start = monotonicNs();
    EXPECT_FALSE(readLines(fds[0], buffer, 2, 100));
    EXPECT_GE(monotonicNs() - start, 90000000LL);
    ASSERT_EQ(write(fds[1], " b\n", 3), 3);
    EXPECT_TRUE(readLines(fds[0], buffer, 2, 1000));
    EXPECT_EQ(buffer, "first a\nsecond b\n");

    close(fds[1]);
    EXPECT_FALSE(readLines(fds[0], buffer, 3, 1000));
    close(fds[0]);
}

TEST(ProcessFigures, PeakMemoryAndCpuTimeOfALiveProcess) {
    EXPECT_GT(peakResidentKb(getpid()), 0);
    const long long before = cpuTimeNs(getpid());
    ASSERT_GE(before, 0);
    const long long start = monotonicNs();
    volatile double spin = 0;
    while (monotonicNs() - start < 50000000LL) spin = spin + 1;
    EXPECT_GT(cpuTimeNs(getpid()), before);

    // A process that is gone has no figures, not zeros.
    const pid_t child = fork();
    if (child == 0) _exit(0);
    endChild(child);
    EXPECT_EQ(peakResidentKb(child), -1);
    EXPECT_EQ(cpuTimeNs(child), -1);
}

}  // namespace
