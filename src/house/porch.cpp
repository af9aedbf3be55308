// Placeholder: the porch canopy and pillars are being built.
#include "house/house.h"

void drawPorch() {}
void drawPillar() {}
