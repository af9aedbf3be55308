// Placeholder: the front fence and the gates are being built.
#include "grounds/grounds.h"

void drawFrontFence() {}
void drawWalkGate() {}
void drawDriveGate() {}
