// Paved areas and the garage ramp. Placeholder until the paving is built.
#include "grounds/grounds.h"

void drawPaving() {}
