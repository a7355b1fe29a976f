#pragma once
// The start-up sequence: built-in files, display, images, frame timer, random seed, hidden
// pointer. The drivers (system, clock, drawing) must be installed before.
void StartGame();
// The random seed start-up uses; by default the clock.
void SetStartupSeedOverride(bool use_override, int seed);
