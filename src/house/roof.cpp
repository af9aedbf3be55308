// Placeholder: the roof, eaves and chimneys are being built.
#include "house/house.h"

void drawRoof() {}
void drawEaves() {}
void drawChimney() {}
