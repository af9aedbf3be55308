// Placeholder: the paving is being built.
#include "grounds/grounds.h"

void drawPaving() {}
void drawGarageRamp() {}
