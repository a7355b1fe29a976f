// libFuzzer target: any bytes handed to the movie reader give a movie or one line naming the
// fault, never a crash, a leak or undefined behaviour. Built and run by scripts/fuzz-movie.sh.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>

#include "game/movie/movie.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  Movie movie;
  std::string error;
  const bool read = ReadMovie(in, "fuzz", &movie, &error);
  // A fault is one line that names the place; a movie counts its frames right.
  if (!read && (error.rfind("moody: fuzz:", 0) != 0 || error.find('\n') != std::string::npos)) {
    __builtin_trap();
  }
  if (read) {
    int64_t frames = 0;
    for (const MovieItem& item : movie.items) {
      if (item.kind == MovieItem::Kind::kInput) ++frames;
      if (item.kind == MovieItem::Kind::kStill) frames += item.still;
    }
    if (frames != movie.frames) __builtin_trap();
  }
  return 0;
}
