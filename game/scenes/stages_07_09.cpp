#include "game/stages.h"

// Not written yet: each stage falls through.
void RunStage7() {}
void RunStage8() {}
void RunStage9() {}
