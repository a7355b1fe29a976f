#pragma once
// Recording or replaying a session through the game's per-frame input and its hooks. Begin
// before start-up; a session lasts until EndMovieSession (or the process's end).
#include <cstdint>
#include <functional>

#include "game/movie/movie.h"

class MovieWriter;

// Recording: each frame's input, a check at every hand-over and every 60 frames, and the end.
void RecordSession(MovieWriter* writer);

// Replaying: the movie's input stands in for the player's, though a real Escape still ends the
// run; every check is compared. Where the run leaves the movie's road, `out_of_step` hears the
// frame and the stage, and must not return (it ends the program or throws). A movie that was
// cut short ends the program, status 0, where it stops.
void ReplaySession(const Movie& movie, std::function<void(int64_t frame, int stage)> out_of_step);

// Replaying a movie's input while recording the session anew: the same frames, with checks
// made by the code as it is now (after a change of the story that leaves the input as it was).
void RerecordSession(const Movie& movie, MovieWriter* writer);

// Whether the replay has reached the movie's end (its input used up, every check met).
bool ReplayFinished();

void EndMovieSession();
