#pragma once
// The PNG files compiled into the program (generated at build time from resources/pictures).
#include <cstddef>
#include <cstdint>

struct PictureBytes {
  const char* name;
  const std::uint8_t* bytes;
  std::size_t length;
};

const PictureBytes* BuiltinPictureBytes(std::size_t* count);
