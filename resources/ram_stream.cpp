#include <algorithm>
#include <cstring>

#include "resources/embedded_files.h"
#include "resources/stream_factories.h"

std::shared_ptr<TRamStream> TRamStream::Create(const std::uint8_t* buf, int64_t size, bool readable,
                                               bool writeable) {
  if (size < 0 || (!buf && size > 0)) return nullptr;
  auto stream = std::make_shared<TRamStream>();
  stream->_buf = buf;
  stream->_size = size;
  stream->_read = readable;
  stream->_write = writeable;
  return stream;
}

int64_t TRamStream::Seek(int64_t pos) {
  _pos = std::clamp<int64_t>(pos, 0, _size);
  return _pos;
}

int64_t TRamStream::Read(void* buffer, int64_t count) {
  if (count < 1 || !_read) return 0;
  const int64_t n = std::min(count, _size - _pos);
  if (n <= 0) return 0;
  std::memcpy(buffer, _buf + _pos, static_cast<size_t>(n));
  _pos += n;
  return n;
}

int64_t TRamStream::Write(const void* buffer, int64_t count) {
  if (count < 1 || !_write) return 0;
  const int64_t n = std::min(count, _size - _pos);
  if (n <= 0) return 0;
  // Only streams created writeable get here; their owner handed over writable memory.
  std::memcpy(const_cast<std::uint8_t*>(_buf) + _pos, buffer, static_cast<size_t>(n));
  _pos += n;
  return n;
}

namespace {

class TRamStreamFactory : public TStreamFactory {
 public:
  std::shared_ptr<TStream> CreateStream(const std::string&, const std::string& protocol,
                                        const std::string& path, bool readable,
                                        bool writeable) override {
    // Embedded files are part of the program: never written.
    if (protocol != "incbin" || writeable) return nullptr;
    const std::uint8_t* bytes = EmbeddedFileBytes(path);
    if (!bytes) return nullptr;
    return TRamStream::Create(bytes, static_cast<int64_t>(EmbeddedFileLength(path)), readable,
                              false);
  }
};

}  // namespace

TStreamFactory& IncbinStreamFactory() {
  static TRamStreamFactory factory;
  return factory;
}
