#include <cerrno>
#include <charconv>
#include <cstring>
#include <fstream>
#include <istream>
#include <string_view>

#include "game/movie/movie.h"

namespace {

// Bounds that no real session comes near; anything beyond them is a damaged or foreign file.
constexpr size_t kMaxLineLength = 200;
constexpr int64_t kMaxFileBytes = int64_t{32} << 20;  // hours of steady motion
constexpr int64_t kMaxFrames = 1'000'000'000;  // over six months at 60 frames a second
constexpr int64_t kMaxOffset = 100000;
constexpr int64_t kMaxPresses = 1000;
constexpr int kMaxStage = 74;

class LineReader {
 public:
  LineReader(std::istream& in, const std::string& name, std::string* error)
      : _in(in), _name(name), _error(error) {}

  // The next line without its newline; false at the end of the file or on a fault.
  bool Next(std::string& line) {
    line.clear();
    char c;
    while (_in.get(c)) {
      if (++_bytes > kMaxFileBytes) return Fail(_number + 1, "the file is too long for a movie");
      if (c == '\n') {
        ++_number;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
      }
      if (line.size() >= kMaxLineLength) return Fail(_number + 1, "the line is too long");
      line += c;
    }
    if (_in.bad()) return Fail(_number + 1, "the file could not be read");
    if (!line.empty()) return Fail(_number + 1, "the line is cut off");
    return false;
  }

  int number() const { return _number; }
  bool failed() const { return _failed; }

  bool Fail(int line, std::string_view what) {
    if (!_failed) {
      _failed = true;
      *_error = "moody: " + _name + ":" + std::to_string(line) + ": " + std::string(what);
    }
    return false;
  }

 private:
  std::istream& _in;
  const std::string& _name;
  std::string* _error;
  int _number = 0;
  int64_t _bytes = 0;
  bool _failed = false;
};

std::vector<std::string_view> Words(std::string_view line) {
  std::vector<std::string_view> words;
  size_t at = 0;
  while (at < line.size()) {
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    size_t end = at;
    while (end < line.size() && line[end] != ' ' && line[end] != '\t') ++end;
    if (end > at) words.push_back(line.substr(at, end - at));
    at = end;
  }
  return words;
}

// A decimal integer within [lo, hi], nothing else in the word.
bool Number(std::string_view word, int64_t lo, int64_t hi, int64_t* value) {
  if (word.empty() || word.size() > 19 || word[0] == '+') return false;
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, *value);
  return ec == std::errc() && ptr == end && *value >= lo && *value <= hi;
}

bool Digest(std::string_view word, uint64_t* value) {
  if (word.size() != 16) return false;
  const char* end = word.data() + word.size();
  auto [ptr, ec] = std::from_chars(word.data(), end, *value, 16);
  return ec == std::errc() && ptr == end;
}

}  // namespace

bool ReadMovie(std::istream& in, const std::string& name, Movie* movie, std::string* error) {
  *movie = Movie{};
  LineReader reader(in, name, error);
  std::string line;
  auto fault = [&](std::string_view what) { return reader.Fail(reader.number(), what); };

  if (!reader.Next(line)) return reader.failed() ? false : reader.Fail(1, "the file is empty");
  std::vector<std::string_view> w = Words(line);
  int64_t n = 0;
  if (w.size() != 2 || w[0] != "moody-movie") return fault("not a moody movie");
  if (!Number(w[1], 1, kMaxFrames, &n) || n != kMovieVersion) {
    return fault("movie format version " + std::string(w[1]) + " is not one this moody reads (" +
                 std::to_string(kMovieVersion) + ")");
  }
  if (!reader.Next(line)) return reader.failed() ? false : reader.Fail(2, "the seed is missing");
  w = Words(line);
  if (w.size() != 2 || w[0] != "seed" || !Number(w[1], 0, 2147483647, &n)) {
    return fault("expected 'seed N' with N from 0 to 2147483647");
  }
  movie->seed = static_cast<int32_t>(n);

  while (reader.Next(line)) {
    if (movie->end) return fault("nothing may follow the end line");
    w = Words(line);
    const std::string_view kind = w.empty() ? std::string_view() : w[0];
    MovieItem item;
    if (kind == "in") {
      int64_t v[4];
      if (w.size() != 5 || !Number(w[1], -kMaxOffset, kMaxOffset, &v[0]) ||
          !Number(w[2], -kMaxOffset, kMaxOffset, &v[1]) ||
          !Number(w[3], 0, kMaxPresses, &v[2]) || !Number(w[4], 0, kMaxPresses, &v[3])) {
        return fault("expected 'in DX DY CLICKS ESCAPES'");
      }
      item.kind = MovieItem::Kind::kInput;
      item.input = FrameInput{static_cast<int>(v[0]), static_cast<int>(v[1]),
                              static_cast<int>(v[2]), static_cast<int>(v[3])};
      ++movie->frames;
    } else if (kind == "still") {
      if (w.size() != 2 || !Number(w[1], 1, kMaxFrames, &item.still)) {
        return fault("expected 'still N' with N from 1 on");
      }
      item.kind = MovieItem::Kind::kStill;
      movie->frames += item.still;
    } else if (kind == "check") {
      int64_t stage = 0;
      if (w.size() != 4 || !Number(w[1], 0, kMaxFrames, &item.check.frame) ||
          !Number(w[2], 0, kMaxStage, &stage) || !Digest(w[3], &item.check.digest)) {
        return fault("expected 'check FRAME STAGE DIGEST'");
      }
      if (item.check.frame != movie->frames) {
        return fault("the check names frame " + std::to_string(item.check.frame) + ", but " +
                     std::to_string(movie->frames) + " frames come before it");
      }
      item.kind = MovieItem::Kind::kCheck;
      item.check.stage = static_cast<int>(stage);
    } else if (kind == "end") {
      MovieEnd end;
      int64_t status = 0;
      if (w.size() != 3 || !Number(w[1], 0, kMaxFrames, &end.frame) ||
          !Number(w[2], 0, 255, &status)) {
        return fault("expected 'end FRAME STATUS'");
      }
      if (end.frame != movie->frames) {
        return fault("the end names frame " + std::to_string(end.frame) + ", but " +
                     std::to_string(movie->frames) + " frames come before it");
      }
      end.status = static_cast<int>(status);
      movie->end = end;
      continue;
    } else {
      return fault("not a line of a movie");
    }
    if (movie->frames > kMaxFrames) return fault("too many frames for a movie");
    movie->items.push_back(item);
  }
  return !reader.failed();
}

bool LoadMovieFile(const std::string& path, Movie* movie, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "moody: " + path + ": cannot be read (" + std::strerror(errno) + ")";
    return false;
  }
  return ReadMovie(in, path, movie, error);
}
