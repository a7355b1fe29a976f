#pragma once
// Streams opened by URL. "incbin::name" opens a read-only memory stream over a built-in file;
// the protocol before "::" is compared lower-cased, the name exactly.
#include <cstdint>
#include <memory>
#include <string>

class TStream {
 public:
  virtual ~TStream() = default;
  virtual int64_t Pos() = 0;
  virtual int64_t Size() = 0;
  virtual int64_t Seek(int64_t pos) = 0;
  virtual int64_t Read(void* buffer, int64_t count) = 0;
  virtual int64_t Write(const void* buffer, int64_t count) = 0;
  virtual void Close() {}
};

class TRamStream : public TStream {
 public:
  static std::shared_ptr<TRamStream> Create(const std::uint8_t* buf, int64_t size, bool readable,
                                            bool writeable);
  int64_t Pos() override { return _pos; }
  int64_t Size() override { return _size; }
  int64_t Seek(int64_t pos) override;  // clamped to 0..size
  int64_t Read(void* buffer, int64_t count) override;
  int64_t Write(const void* buffer, int64_t count) override;

  int64_t _pos = 0;
  int64_t _size = 0;
  const std::uint8_t* _buf = nullptr;
  bool _read = false;
  bool _write = false;
};

class TStreamFactory {
 public:
  virtual ~TStreamFactory() = default;
  virtual std::shared_ptr<TStream> CreateStream(const std::string& url, const std::string& protocol,
                                                const std::string& path, bool readable,
                                                bool writeable) = 0;
};

void RegisterStreamFactory(TStreamFactory* factory);
std::shared_ptr<TStream> OpenStream(const std::string& url, bool readable, bool writeable);
