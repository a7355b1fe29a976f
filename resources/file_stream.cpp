#include <cstdio>

#include "resources/stream_factories.h"

namespace {

class TCFileStream : public TStream {
 public:
  explicit TCFileStream(std::FILE* file) : _file(file) {}
  ~TCFileStream() override { Close(); }

  int64_t Pos() override { return _file ? std::ftell(_file) : -1; }
  int64_t Size() override {
    if (!_file) return -1;
    const long pos = std::ftell(_file);
    std::fseek(_file, 0, SEEK_END);
    const long size = std::ftell(_file);
    std::fseek(_file, pos, SEEK_SET);
    return size;
  }
  int64_t Seek(int64_t pos) override {
    if (!_file) return -1;
    std::fseek(_file, static_cast<long>(pos), SEEK_SET);
    return std::ftell(_file);
  }
  int64_t Read(void* buffer, int64_t count) override {
    if (!_file || count < 1) return 0;
    return static_cast<int64_t>(std::fread(buffer, 1, static_cast<size_t>(count), _file));
  }
  int64_t Write(const void* buffer, int64_t count) override {
    if (!_file || count < 1) return 0;
    return static_cast<int64_t>(std::fwrite(buffer, 1, static_cast<size_t>(count), _file));
  }
  void Close() override {
    if (_file) std::fclose(_file);
    _file = nullptr;
  }

 private:
  std::FILE* _file;
};

class TCFileStreamFactory : public TStreamFactory {
 public:
  std::shared_ptr<TStream> CreateStream(const std::string& url, const std::string& protocol,
                                        const std::string& path, bool readable,
                                        bool writeable) override {
    // Only plain paths: "::name" has an empty protocol but is not a file name.
    if (!protocol.empty() || path != url || (!readable && !writeable)) return nullptr;
    const char* mode = readable && writeable ? "r+b" : readable ? "rb" : "wb";
    std::FILE* file = std::fopen(path.c_str(), mode);
    if (!file) return nullptr;
    return std::make_shared<TCFileStream>(file);
  }
};

}  // namespace

TStreamFactory& FileStreamFactory() {
  static TCFileStreamFactory factory;
  return factory;
}
