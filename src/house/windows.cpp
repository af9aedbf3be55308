// Placeholder: the windows are being built.
#include "house/house.h"

void drawWindows() {}
void drawWindow() {}
void drawHalfWindow() {}
void drawWideWindow() {}
