#pragma once
// The demo's movies, built into the program from resources/tour/ (scripts/embed_files.cmake).
#include <cstddef>

struct TourMovieBytes {
  const char* name;  // the file name, e.g. "ending_38.movie"
  const unsigned char* bytes;
  std::size_t size;
};

const TourMovieBytes* BuiltinTourMovieBytes(std::size_t* count);
