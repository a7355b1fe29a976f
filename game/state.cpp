#include "game/state.h"

GameState g;

void ResetGameState() { g = GameState{}; }
