#include "resources/embedded_files.h"

#include <cstring>

#include "resources/picture_bytes.h"

namespace {

struct EmbeddedFile {
  std::string name;
  const std::uint8_t* bytes;
  std::size_t length;
  EmbeddedFile* next;
};

// Newest first; entries live for the whole run, so the list is never torn down (it may be used
// from other static initialisers and destructors).
EmbeddedFile*& Head() {
  static EmbeddedFile* head = nullptr;
  return head;
}

const EmbeddedFile* Find(const std::string& name) {
  for (const EmbeddedFile* file = Head(); file; file = file->next)
    if (file->name == name) return file;
  return nullptr;
}

}  // namespace

const char* const kBuiltinPictureNames[10] = {
    "cursor.png", "Title.png",  "title2.png", "mouth1.png", "mouth2.png",
    "mouth3.png", "mouth4.png", "mouth5.png", "eye2.png",   "end.png",
};

int AddEmbeddedFile(const std::string& name, const std::uint8_t* bytes, std::size_t length) {
  if (Find(name)) return 0;
  Head() = new EmbeddedFile{name, bytes, length, Head()};
  return 1;
}

const std::uint8_t* EmbeddedFileBytes(const std::string& name) {
  const EmbeddedFile* file = Find(name);
  return file ? file->bytes : nullptr;
}

std::size_t EmbeddedFileLength(const std::string& name) {
  const EmbeddedFile* file = Find(name);
  return file ? file->length : 0;
}

void RegisterBuiltinPictures() {
  std::size_t count = 0;
  const PictureBytes* table = BuiltinPictureBytes(&count);
  for (const char* name : kBuiltinPictureNames) {
    for (std::size_t i = 0; i < count; ++i) {
      if (std::strcmp(table[i].name, name) == 0) {
        AddEmbeddedFile(name, table[i].bytes, table[i].length);
        break;
      }
    }
  }
}
