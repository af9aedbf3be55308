// The project's performance budgets, as docs/performance.md states them;
// the benchmarks print their figures against them by these
// names. A budget is a figure to read, not a test: the machine's load
// moves the frame times.
#ifndef HOUSE_BENCH_BUDGETS_H
#define HOUSE_BENCH_BUDGETS_H

// A full-HD frame of the program's display(), native.
const double kFullHdFrameBudgetMs = 8;
// The program's own code in a frame, as a share of the 500x500 frame.
const double kOwnCodeShareBudget = 0.02;
// From starting the program to the return of its first glutSwapBuffers.
const double kStartupBudgetMs = 300;
// CPU time while nothing happens.
const double kIdleCpuBudgetMs = 0;

#endif
