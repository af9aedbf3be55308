// The house and everything fixed to it. Every routine draws in immediate
// mode into the current modelview matrix and returns it as it found it.
#ifndef HOUSE_HOUSE_HOUSE_H
#define HOUSE_HOUSE_HOUSE_H

// Assembles the whole house in its fixed order.
void drawHouse();

// Shell: ground square, walls, front door; foundation band and terrace slab;
// garage door and frame.
void drawShell();
void drawFoundation();
void drawGarageDoor();

// Roof: six pieces, the black eave plane under them, and the chimney stamp.
void drawRoof();
void drawEaves();
void drawChimney();

// Porch canopy over the front door, and the pillar stamp.
void drawPorch();
void drawPillar();

// Windows: the placing routine and its three stamps.
void drawWindows();
void drawWindow();
void drawHalfWindow();
void drawWideWindow();

#endif
