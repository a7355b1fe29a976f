// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage42() {}
void RunStage43() {}
void RunStage44() {}
