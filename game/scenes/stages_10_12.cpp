// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage10() {}
void RunStage11() {}
void RunStage12() {}
