// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage23() {}
void RunStage24() {}
void RunStage25() {}
