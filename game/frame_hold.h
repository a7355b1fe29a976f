#pragma once
// Holding a frame: once frame `frame` is on the screen (the first frame presented is frame 1,
// as a movie counts them) the program keeps showing it and draws nothing more. Events are still
// pumped, so Escape still ends the program. A still to look at, or to compare with another run
// of the same movie.
#include <cstdint>
#include <functional>

// `on_hold` hears the frame when a hold begins. `moved_on`, when given, is asked after every
// pump of a hold: a later frame ends the hold and the story runs on to hold there; 0 (or an
// earlier frame) keeps holding.
void HoldAtFrame(int64_t frame, std::function<void(int64_t)> on_hold = nullptr,
                 std::function<int64_t()> moved_on = nullptr);
// Forgets the hold (the frames presented are counted afresh by the next HoldAtFrame).
void StopFrameHold();
