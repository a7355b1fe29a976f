#pragma once
// An input movie: a session kept as its seed and the input of each of its frames, with the
// game's state checked along the way, so that it plays again exactly. Text, one item a line:
//
//   moody-movie 1                the format and its version
//   seed N                       the generator's seed, 0 to 2147483647
//   in DX DY CLICKS ESCAPES      one frame: the pointer's offset from the screen centre, and the
//                                left-button and Escape presses since the frame before
//   still N                      N frames with the pointer in the centre and nothing pressed
//   check FRAME STAGE DIGEST     the game's state (16 hex digits) after FRAME frames, at a
//                                hand-over or every 60 frames; STAGE is the stage then
//   end FRAME STATUS             the session ended after FRAME frames with that exit status
//
// A movie without an end line was cut short (the program was killed while recording) and plays
// to where it stops.
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "system/polled_input.h"

constexpr int kMovieVersion = 1;
constexpr int64_t kMovieCheckEvery = 60;  // frames between checks, besides the hand-overs

struct MovieCheck {
  int64_t frame = 0;
  int stage = 0;
  uint64_t digest = 0;
  bool operator==(const MovieCheck&) const = default;
};

struct MovieItem {
  enum class Kind { kInput, kStill, kCheck };
  Kind kind = Kind::kInput;
  FrameInput input;   // kInput; the pointer as an offset from the screen centre
  int64_t still = 0;  // kStill: how many frames
  MovieCheck check;   // kCheck
};

struct MovieEnd {
  int64_t frame = 0;
  int status = 0;
};

struct Movie {
  int32_t seed = 0;
  std::vector<MovieItem> items;
  std::optional<MovieEnd> end;
  int64_t frames = 0;  // frames of input in all
};

// Reads a whole movie. On a fault, false and `error` holds one line that names the file and the
// line: "moody: NAME:LINE: what is wrong".
bool ReadMovie(std::istream& in, const std::string& name, Movie* movie, std::string* error);
// The same from a file; a file that cannot be opened is named with the reason.
bool LoadMovieFile(const std::string& path, Movie* movie, std::string* error);
