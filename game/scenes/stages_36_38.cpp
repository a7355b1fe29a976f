// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage36() {}
void RunStage37() {}
void RunStage38() {}
