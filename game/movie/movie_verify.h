#pragma once
// `moody --verify`: each movie played through the real stage code on a virtual clock with
// nothing drawn, every check compared; one line per movie on `out` (faults on `err`).
#include <iosfwd>
#include <string>
#include <vector>

// 0 when every movie is in step, 1 when one is not, 2 when a file cannot be read or is not a
// movie (2 wins over 1).
int VerifyMovies(const std::vector<std::string>& paths, std::ostream& out, std::ostream& err);

// Plays one movie that has been read; true when it stays in step to its end. `where` tells how
// it went: "in step, N frames, ended with status S" or "out of step at frame N (stage S)".
bool VerifyMovie(const struct Movie& movie, std::string* where);
