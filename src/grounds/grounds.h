// The plot round the house: paving, the fence and the two gates.
#ifndef HOUSE_GROUNDS_GROUNDS_H
#define HOUSE_GROUNDS_GROUNDS_H

// Paved areas and the garage ramp.
void drawPaving();
void drawGarageRamp();

// The enclosure: three side runs by quarter turns, then the front run and gates.
void drawGrounds();
void drawSideFence();

// Fence stamps, placed through the drawing cursor.
void drawPost();
void drawBaseBoard();
void drawPicket();

// Front run with its two openings, and the gates drawn from the gate offsets.
void drawFrontFence();
void drawWalkGate();
void drawDriveGate();

#endif
