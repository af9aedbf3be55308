// Reads a recorded fence run back as its stamps. Every fence stamp opens
// with its one colour change, so the groups from one glColor3f to the next
// are one stamp: a post or a board (five white faces, topped at 2 or -9) or
// a picket unit (three red quads).
#ifndef HOUSE_CALL_READERS_FENCE_STAMPS_H
#define HOUSE_CALL_READERS_FENCE_STAMPS_H

#include <cstddef>
#include <vector>

#include "call_readers/drawn_groups.h"

enum class StampKind { Post, Board, Picket, Other };

struct Stamp {
    StampKind kind;
    size_t first;  // index of its first group
    size_t count;
};

// The stamps of the calls; `first` counts among their drawnGroups().
std::vector<Stamp> stampsIn(const std::vector<GlCall>& calls);

int countStamps(const std::vector<Stamp>& stamps, StampKind kind);

// The cursor x at each stamp of a kind, read back from its first vertex: a
// post's is the cursor itself, a board's and a picket's the cursor plus 2.
std::vector<double> cursorsAt(const std::vector<GlCall>& calls, StampKind kind);

#endif
