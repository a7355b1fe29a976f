#pragma once
// Writes a movie as the session goes: every line reaches the file at once, so a run that is
// killed leaves a movie that plays to where it stopped. Runs of still frames are folded into
// one line, written when something else comes.
#include <cstdint>
#include <cstdio>
#include <string>

#include "game/movie/movie.h"

class MovieWriter {
 public:
  // Takes the open file (and closes it at the end); writes the header at once.
  MovieWriter(std::FILE* file, int32_t seed);
  ~MovieWriter();
  MovieWriter(const MovieWriter&) = delete;
  MovieWriter& operator=(const MovieWriter&) = delete;

  void Frame(const FrameInput& offsets);  // the pointer given as its offset from the centre
  void Check(const MovieCheck& check);
  void End(int64_t frame, int status);  // the last line; the file is closed
  int64_t frames() const { return _frames; }
  // False once a write has failed (a full disk): the movie on disk is not the whole session.
  bool ok() const { return _ok; }
  int write_errno() const { return _errno; }

 private:
  void WriteStill();
  void Line(const std::string& text);

  std::FILE* _file;
  int64_t _frames = 0;
  int64_t _still = 0;  // still frames not written yet
  bool _ok = true;
  int _errno = 0;
};
