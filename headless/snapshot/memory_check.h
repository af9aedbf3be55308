// Whether a picture fits in memory, checked before the GL is opened so that
// no run spends its drawing time only to fail: against the process's own
// limits (ulimit -v, -d) and the memory the machine has left.
#ifndef HOUSE_SNAPSHOT_MEMORY_CHECK_H
#define HOUSE_SNAPSHOT_MEMORY_CHECK_H

#include <string>

struct MemoryRoom {
    unsigned long long processLimit;  // the smaller soft limit of address space and data
    long long available;              // MemAvailable, or -1 where unknown
    long long swapFree;               // SwapFree, or -1 where unknown
};

// This process's limits and the machine's memory now.
MemoryRoom memoryRoomNow();

// "" if a width x height picture drawn `supersample` times as wide and high
// fits in `room`; else the one-line refusal, saying what it needs.
std::string memoryRefusal(int width, int height, int supersample, const MemoryRoom& room);

#endif
