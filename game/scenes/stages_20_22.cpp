// Placeholder: these stages are not written yet; a hand-over to them falls through.
#include "game/stages.h"

void RunStage20() {}
void RunStage21() {}
void RunStage22() {}
