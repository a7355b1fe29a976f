// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage45() {}
void RunStage46() {}
void RunStage47() {}
