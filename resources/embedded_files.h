#pragma once
// The process-wide table of files built into the program, looked up by exact name.
#include <cstddef>
#include <cstdint>
#include <string>

// 1 if added, 0 if that name is already registered (the table is then unchanged).
int AddEmbeddedFile(const std::string& name, const std::uint8_t* bytes, std::size_t length);
const std::uint8_t* EmbeddedFileBytes(const std::string& name);  // nullptr if absent
std::size_t EmbeddedFileLength(const std::string& name);         // 0 if absent

// Registers the game's ten pictures in their fixed order.
void RegisterBuiltinPictures();
// Names of the ten pictures in registration order.
extern const char* const kBuiltinPictureNames[10];
