// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage33() {}
void RunStage34() {}
void RunStage35() {}
