// The process helpers, where a fault would make other checks lie: the
// runner the tools' and end-to-end tests start programs with, and the
// process figures the benchmark prints.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <string>

#include "support/processes/processes.h"

namespace {

TEST(RunCommand, HandsBackTheChildsOutputAndExitStatus) {
    CommandResult run =
        runCommand({"/bin/sh", "-c", "echo frames 3; echo calls 7 >&2; exit 4"}, "");
    EXPECT_EQ(WEXITSTATUS(run.status), 4);
    EXPECT_EQ(run.out, "frames 3\n");
    EXPECT_EQ(run.err, "calls 7\n");
    EXPECT_FALSE(run.succeeded());
    EXPECT_EQ(WEXITSTATUS(runCommand({"/no/such/program"}, "").status), 127);
    run = runCommand({"/bin/sh", "-c", "kill -9 $$"}, "");
    EXPECT_TRUE(WIFSIGNALED(run.status));
    run = runCommand({"sleep", "30"}, "", 0.2);
    EXPECT_TRUE(run.timedOut);
    EXPECT_FALSE(run.succeeded());
}

TEST(ReadLines, WaitsForWholeLinesAndGivesUpOnSilenceOrEnd) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string buffer;
    ASSERT_EQ(write(fds[1], "first a\nsecond", 14), 14);
    const double start = monotonicSeconds();
    EXPECT_FALSE(readLines(fds[0], buffer, 2, 0.1));
    EXPECT_GE(monotonicSeconds() - start, 0.09);
    ASSERT_EQ(write(fds[1], " b\n", 3), 3);
    EXPECT_TRUE(readLines(fds[0], buffer, 2, 1));
    EXPECT_EQ(buffer, "first a\nsecond b\n");

    close(fds[1]);
    EXPECT_FALSE(readLines(fds[0], buffer, 3, 1));
    close(fds[0]);
}

TEST(ProcessFigures, PeakMemoryAndCpuTimeOfALiveProcess) {
    EXPECT_GT(statusKiB(getpid(), "VmHWM"), 0);
    EXPECT_GE(statusKiB(getpid(), "VmHWM"), statusKiB(getpid(), "VmRSS"));
    EXPECT_EQ(processState(getpid()), 'R');
    const long before = cpuTicks(getpid());
    ASSERT_GE(before, 0);
    const std::clock_t start = std::clock();
    volatile double spin = 0;
    while (std::clock() - start < CLOCKS_PER_SEC / 10) spin = spin + 1;
    EXPECT_GT(cpuTicks(getpid()), before);

    // A process that is gone has no figures, not zeros.
    ChildProcess child("/bin/true", {"true"}, {});
    ASSERT_NE(child.waitForExit(10), -1);
    EXPECT_EQ(statusKiB(child.pid(), "VmHWM"), -1);
    EXPECT_EQ(cpuTicks(child.pid()), -1);
    EXPECT_EQ(processState(child.pid()), '\0');
}

}  // namespace
