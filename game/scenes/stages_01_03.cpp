#include "game/stages.h"

// Not written yet: each stage falls through.
void RunStage1() {}
void RunStage2() {}
void RunStage3() {}
