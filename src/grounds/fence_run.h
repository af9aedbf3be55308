// What the side runs and the front run share: the float cursor step and the
// fence section. Internal to the grounds.
#ifndef HOUSE_GROUNDS_FENCE_RUN_H
#define HOUSE_GROUNDS_FENCE_RUN_H

// Where every fence run starts: the corner post at x = -120 of its frame,
// with posts and boards in the band z = -120..-118.
const float kRunStart = -120.0f;
const float kRunBand = -120.0f;

// Steps of the cursor along a run. The picket step is a double: 0.8 has no
// exact binary value, and adding it to the float cursor and rounding at
// every step is what makes a run drift by 0.0003 over its length. The post
// step is a float, exact in either width.
const double kPicketStep = 0.8;
const float kPostStep = 2.0f;
// A long section of the front run needs a second board 3 farther on: a
// board is always 38 long.
const float kSecondBoardStep = 3.0f;

// Moves the cursor along the run. The sum is formed in double and rounded
// once, on the store to the float field; a float step widens exactly, so
// only the step's own type matters.
void advanceFenceCursor(double step);

// One section from the cursor: opening post, base board (and, for a long
// section, a second board 3 farther on), `pickets` picket units, closing
// post. Leaves the cursor where the next section's opening post stands.
void drawFenceSection(int pickets, bool secondBoard);

// A gate post on either side of an opening; `width` takes the cursor from
// the first post to the second, and a post step more leaves it where the
// next section's opening post stands.
void drawGateOpening(double width);

#endif
