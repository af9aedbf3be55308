// Placeholder: the fence is being built.
#include "grounds/grounds.h"

void drawGrounds() {}
void drawSideFence() {}
void drawPost() {}
void drawBaseBoard() {}
void drawPicket() {}
