#pragma once
// The start-up sequence: built-in files, display, images, frame timer, random seed, hidden
// pointer. The drivers (system, clock, drawing) must be installed before.
void StartGame();
// Its two halves: the display (once per process), then the story's own start (images, frame
// timer, seed, pointer), which a tour runs again for every story it plays on the same display.
void OpenGameDisplay();
void StartStory();
// The random seed start-up uses; by default the clock.
void SetStartupSeedOverride(bool use_override, int seed);
