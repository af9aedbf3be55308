// Pieces of different colours that the program draws over each other in
// one plane: the bars of a wide window under its pane, the porch ceiling
// where the eave plane reaches over it. The program relies on GL's depth
// test letting only a nearer fragment through, so of two pieces at the
// same depth the one drawn first keeps the pixels. Another renderer need
// not draw in the program's order nor break ties that way, so the export
// lifts such pieces apart by a distance no eye sees, in draw order.
#ifndef HOUSE_EXPORT_TIED_PIECES_H
#define HOUSE_EXPORT_TIED_PIECES_H

#include <vector>

#include "call_readers/drawn_groups.h"

// Far below anything a viewer can make out (the thinnest piece, a window
// bar, is 5 cm wide and stands 5 cm off its wall), yet some eight steps
// of a 24-bit depth buffer with the program's near plane of 10 cm even at
// the starting distance of 20 m: 2 mm, in scene units of 10 cm.
const double kTieLift = 0.02;

// Finds every tie among the groups (given in the order drawn, in world
// space) and moves the first-drawn piece of each off the plane by
// kTieLift, towards the side from which the tie can be seen, so that
// from there it lies in front as in the program. A piece that ties with
// one that is itself lifted goes a step further. The side: a tie lies
// on a surface that faces somewhere open (a window faces away from its
// wall, the porch ceiling down towards the terrace), so it is the side
// on which the nearest other surface, seen along the plane's normal from
// the middle of the shared area, lies farther away.
// Returns how far each group was moved, in the order given.
std::vector<Vec3> liftTiedPieces(const std::vector<DrawnGroup*>& groups);

// The area two triangles share, both taken as lying in the plane of the
// first; zero where they only touch along an edge or a corner.
double sharedArea(const Vec3* a, const Vec3* b);

#endif
