// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage26() {}
void RunStage27() {}
void RunStage28() {}
void RunStage29() {}
