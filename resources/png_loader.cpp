#include "resources/png_loader.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdint>
#include <cstring>

namespace {

// Far beyond any picture of ours (the largest is 307x44); stops a hostile header from asking
// for gigabytes.
constexpr int kMaxSide = 16384;
constexpr uint64_t kMaxPixels = uint64_t{16} << 20;

// The first chunk's length, type, width and height, read ahead of libpng so an oversized image is
// refused before anything is allocated for it.
constexpr size_t kHeaderPeek = 16;

struct PngSource {
  TStream* stream;
  uint8_t header[kHeaderPeek];
  size_t header_left;  // bytes of `header` libpng has not consumed yet
};

void ReadFromSource(png_structp png, png_bytep data, png_size_t length) {
  auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
  const size_t from_header = std::min<size_t>(length, source->header_left);
  std::memcpy(data, source->header + (kHeaderPeek - source->header_left), from_header);
  source->header_left -= from_header;
  const auto rest = static_cast<int64_t>(length - from_header);
  if (rest > 0 && source->stream->Read(data + from_header, rest) != rest)
    png_error(png, "unexpected end of data");
}

uint32_t BigEndian32(const uint8_t* p) {
  return uint32_t{p[0]} << 24 | uint32_t{p[1]} << 16 | uint32_t{p[2]} << 8 | uint32_t{p[3]};
}

// A PNG begins with its IHDR chunk (13 bytes of data); anything else is refused here as libpng
// would refuse it.
bool HeaderAcceptable(const uint8_t (&header)[kHeaderPeek]) {
  if (BigEndian32(header) != 13 || std::memcmp(header + 4, "IHDR", 4) != 0) return false;
  const uint64_t width = BigEndian32(header + 8);
  const uint64_t height = BigEndian32(header + 12);
  return width * height <= kMaxPixels;
}

// Failures are answered with "no pixmap"; libpng's own messages would only be noise.
void OnError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnWarning(png_structp, png_const_charp) {}

// Runs the decoder with the transforms applied. An error leaves this function by longjmp, so it
// must hold no object with a destructor.
bool DecodeImage(png_structp png, png_infop info) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_read_png(png, info, PNG_TRANSFORM_STRIP_16 | PNG_TRANSFORM_EXPAND, nullptr);
  return true;
}

std::shared_ptr<TPixmap> PixmapFromRows(png_structp png, png_infop info) {
  png_uint_32 width = 0, height = 0;
  int bit_depth = 0, color_type = 0;
  png_get_IHDR(png, info, &width, &height, &bit_depth, &color_type, nullptr, nullptr, nullptr);
  if (bit_depth != 8) return nullptr;
  int format = 0;
  size_t row_bytes = 0;
  switch (color_type) {
    case PNG_COLOR_TYPE_GRAY:
      format = PixelFormat::I8, row_bytes = width;
      break;
    case PNG_COLOR_TYPE_RGB:
      format = PixelFormat::RGB888, row_bytes = width * 3;
      break;
    case PNG_COLOR_TYPE_RGB_ALPHA:
      format = PixelFormat::RGBA8888, row_bytes = width * 4;
      break;
    case PNG_COLOR_TYPE_GRAY_ALPHA:
      format = PixelFormat::RGBA8888;
      break;
    default:
      return nullptr;
  }
  png_bytepp rows = png_get_rows(png, info);
  if (!rows) return nullptr;
  auto pixmap = TPixmap::Create(static_cast<int>(width), static_cast<int>(height), format);
  if (!pixmap) return nullptr;
  for (png_uint_32 y = 0; y < height; ++y) {
    uint8_t* dst = pixmap->Row(static_cast<int>(y));
    if (color_type != PNG_COLOR_TYPE_GRAY_ALPHA) {
      std::memcpy(dst, rows[y], row_bytes);
      continue;
    }
    const png_byte* src = rows[y];
    for (png_uint_32 x = 0; x < width; ++x, src += 2, dst += 4)
      dst[0] = dst[1] = dst[2] = src[0], dst[3] = src[1];
  }
  return pixmap;
}

}  // namespace

std::shared_ptr<TPixmap> LoadPixmapPNG(TStream& stream) {
  png_byte signature[8];
  if (stream.Read(signature, 8) != 8 || png_sig_cmp(signature, 0, 8) != 0) return nullptr;
  PngSource source{&stream, {}, kHeaderPeek};
  if (stream.Read(source.header, kHeaderPeek) != static_cast<int64_t>(kHeaderPeek) ||
      !HeaderAcceptable(source.header)) {
    return nullptr;
  }

  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnError, OnWarning);
  if (!png) return nullptr;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return nullptr;
  }
  png_set_read_fn(png, &source, ReadFromSource);
  png_set_sig_bytes(png, 8);
  png_set_user_limits(png, kMaxSide, kMaxSide);

  std::shared_ptr<TPixmap> pixmap;
  if (DecodeImage(png, info)) pixmap = PixmapFromRows(png, info);
  png_destroy_read_struct(&png, &info, nullptr);
  return pixmap;
}

std::shared_ptr<TPixmap> LoadPixmap(const std::string& url) {
  std::shared_ptr<TStream> stream = OpenStream(url, true, false);
  if (!stream) return nullptr;
  std::shared_ptr<TPixmap> pixmap = LoadPixmapPNG(*stream);
  stream->Close();
  return pixmap;
}
