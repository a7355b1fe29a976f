#include "game/movie/movie_writer.h"

#include <cerrno>
#include <cinttypes>

MovieWriter::MovieWriter(std::FILE* file, int32_t seed) : _file(file) {
  Line("moody-movie " + std::to_string(kMovieVersion));
  Line("seed " + std::to_string(seed));
}

MovieWriter::~MovieWriter() {
  if (_file) std::fclose(_file);
}

void MovieWriter::Frame(const FrameInput& offsets) {
  ++_frames;
  if (offsets == FrameInput{}) {
    ++_still;
    return;
  }
  WriteStill();
  Line("in " + std::to_string(offsets.pointer_x) + " " + std::to_string(offsets.pointer_y) + " " +
       std::to_string(offsets.clicks) + " " + std::to_string(offsets.escapes));
}

void MovieWriter::Check(const MovieCheck& check) {
  WriteStill();
  char digest[17];
  std::snprintf(digest, sizeof digest, "%016" PRIx64, check.digest);
  Line("check " + std::to_string(check.frame) + " " + std::to_string(check.stage) + " " + digest);
}

void MovieWriter::End(int64_t frame, int status) {
  if (!_file) return;
  WriteStill();
  Line("end " + std::to_string(frame) + " " + std::to_string(status));
  if (std::fclose(_file) != 0 && _ok) {
    _ok = false;
    _errno = errno;
  }
  _file = nullptr;
}

void MovieWriter::WriteStill() {
  if (_still == 0) return;
  Line("still " + std::to_string(_still));
  _still = 0;
}

void MovieWriter::Line(const std::string& text) {
  if (!_file) return;
  if ((std::fputs(text.c_str(), _file) < 0 || std::fputc('\n', _file) == EOF ||
       std::fflush(_file) != 0) &&
      _ok) {
    _ok = false;
    _errno = errno;
  }
}
