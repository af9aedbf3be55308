// The grey paving of the plot and the ramp up to the garage door.
//
// Everything lies at the paving level, half a unit above the ground so it
// wins the depth test over the ground square drawn later. The walk and the
// driveway cross the fence line only through the gate openings; the front
// strip lies outside the fence.
#include "grounds/grounds.h"

#include "viewer/faces.h"

namespace {

const double kPavingY = -9.5;
const double kFloorY = -8.0;

// The walk's +X edge is the float nearest 26.8, the same place the walk
// gate's free post and a shut walk leaf reach.
const double kWalkEdgeX = 26.8f;

// The ramp falls 1.5 over 5, from the floor at the house front (z = -10) to
// the paving, across the garage door opening.
const Face kGarageRamp[] = {
    {nullptr, GL_POLYGON, 4,
     {{-24, kFloorY, -10}, {-56, kFloorY, -10}, {-56, kPavingY, -15}, {-24, kPavingY, -15}}},
    {nullptr, GL_POLYGON, 3, {{-24, kFloorY, -10}, {-24, kPavingY, -10}, {-24, kPavingY, -15}}},
    {nullptr, GL_POLYGON, 3, {{-56, kFloorY, -10}, {-56, kPavingY, -10}, {-56, kPavingY, -15}}},
};

// The driveway and the yard are not convex. Each starts at the one vertex
// from which every other is visible, so the fan GL draws a polygon with
// covers exactly the outline and leaves the notch at the reflex corner
// ((-78, -90) and (-10, -70)) unpaved.
const Face kPavedAreas[] = {
    // walk, through the walk-gate opening to the terrace
    {nullptr, GL_POLYGON, 4,
     {{kWalkEdgeX, kPavingY, -140}, {kWalkEdgeX, kPavingY, -10}, {14, kPavingY, -10},
      {14, kPavingY, -140}}},
    // driveway, through the drive-gate opening, widening to the garage wing
    {nullptr, GL_POLYGON, 6,
     {{-30, kPavingY, -10}, {-110, kPavingY, -10}, {-110, kPavingY, -40}, {-78, kPavingY, -90},
      {-78, kPavingY, -140}, {-30, kPavingY, -140}}},
    // yard between the driveway and the walk, its outer corner cut
    {nullptr, GL_POLYGON, 5,
     {{14, kPavingY, -10}, {-30, kPavingY, -10}, {-30, kPavingY, -90}, {-10, kPavingY, -70},
      {14, kPavingY, -70}}},
    // two side strips beside the garage wing
    {nullptr, GL_POLYGON, 4,
     {{-70, kPavingY, -10}, {-70, kPavingY, 40}, {-80, kPavingY, 40}, {-80, kPavingY, -10}}},
    {nullptr, GL_POLYGON, 4,
     {{-90, kPavingY, -10}, {-90, kPavingY, 40}, {-100, kPavingY, 40}, {-100, kPavingY, -10}}},
    // patio beyond the walk, out to the end of the terrace
    {nullptr, GL_POLYGON, 4,
     {{kWalkEdgeX, kPavingY, -10}, {kWalkEdgeX, kPavingY, -70}, {60, kPavingY, -50},
      {60, kPavingY, -10}}},
    // front strip outside the fence, across the whole front
    {nullptr, GL_POLYGON, 4,
     {{140, kPavingY, -130}, {-140, kPavingY, -130}, {-140, kPavingY, -150},
      {140, kPavingY, -150}}},
};

}  // namespace

// The ramp borrows the grey set here; grey is still in force on return.
void drawPaving() {
    setColour(kPavingGrey);
    drawGarageRamp();
    drawFaces(kPavedAreas);
}

// Sets no colour: it is drawn in whatever drawPaving set.
void drawGarageRamp() { drawFaces(kGarageRamp); }
