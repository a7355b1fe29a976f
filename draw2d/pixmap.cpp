#include "draw2d/pixmap.h"

#include <algorithm>
#include <climits>
#include <cstring>

int BytesPerPixel(int format) {
  switch (format) {
    case PixelFormat::I8:
    case PixelFormat::A8:
      return 1;
    case PixelFormat::BGR888:
    case PixelFormat::RGB888:
      return 3;
    case PixelFormat::BGRA8888:
    case PixelFormat::RGBA8888:
      return 4;
    default:
      return 0;
  }
}

bool FormatHasAlpha(int format) {
  return format == PixelFormat::A8 || format == PixelFormat::BGRA8888 ||
         format == PixelFormat::RGBA8888;
}

namespace {

void LoadRGBA(const uint8_t* p, int format, uint8_t rgba[4]) {
  switch (format) {
    case PixelFormat::I8:
      rgba[0] = rgba[1] = rgba[2] = p[0];
      rgba[3] = 255;
      break;
    case PixelFormat::A8:
      rgba[0] = rgba[1] = rgba[2] = 255;
      rgba[3] = p[0];
      break;
    case PixelFormat::BGR888:
      rgba[0] = p[2], rgba[1] = p[1], rgba[2] = p[0], rgba[3] = 255;
      break;
    case PixelFormat::RGB888:
      rgba[0] = p[0], rgba[1] = p[1], rgba[2] = p[2], rgba[3] = 255;
      break;
    case PixelFormat::BGRA8888:
      rgba[0] = p[2], rgba[1] = p[1], rgba[2] = p[0], rgba[3] = p[3];
      break;
    default:
      rgba[0] = p[0], rgba[1] = p[1], rgba[2] = p[2], rgba[3] = p[3];
      break;
  }
}

void StoreRGBA(const uint8_t rgba[4], int format, uint8_t* p) {
  switch (format) {
    case PixelFormat::I8:
      // Grey stays exact; colour becomes its luma.
      p[0] = static_cast<uint8_t>((rgba[0] * 299 + rgba[1] * 587 + rgba[2] * 114 + 500) / 1000);
      break;
    case PixelFormat::A8:
      p[0] = rgba[3];
      break;
    case PixelFormat::BGR888:
      p[0] = rgba[2], p[1] = rgba[1], p[2] = rgba[0];
      break;
    case PixelFormat::RGB888:
      p[0] = rgba[0], p[1] = rgba[1], p[2] = rgba[2];
      break;
    case PixelFormat::BGRA8888:
      p[0] = rgba[2], p[1] = rgba[1], p[2] = rgba[0], p[3] = rgba[3];
      break;
    default:
      p[0] = rgba[0], p[1] = rgba[1], p[2] = rgba[2], p[3] = rgba[3];
      break;
  }
}

// Row length in bytes rounded up to a multiple of 4.
int64_t PaddedPitch(int width, int format) {
  int64_t row = static_cast<int64_t>(width) * BytesPerPixel(format);
  return (row + 3) / 4 * 4;
}

}  // namespace

std::shared_ptr<TPixmap> TPixmap::Create(int width, int height, int format) {
  if (BytesPerPixel(format) == 0 || width < 0 || height < 0) return nullptr;
  int64_t pitch = PaddedPitch(width, format);
  int64_t bytes = pitch * height;
  if (pitch > INT_MAX || bytes > INT_MAX) return nullptr;
  auto pixmap = std::make_shared<TPixmap>();
  // Never empty, so `pixels` is valid even for a 0x0 pixmap.
  pixmap->_storage.assign(static_cast<size_t>(std::max<int64_t>(bytes, 4)), 0);
  pixmap->pixels = pixmap->_storage.data();
  pixmap->width = width;
  pixmap->height = height;
  pixmap->pitch = static_cast<int>(pitch);
  pixmap->format = format;
  pixmap->capacity = static_cast<int>(bytes);
  return pixmap;
}

TPixmap::TPixmap(const TPixmap& other) { *this = other; }

TPixmap& TPixmap::operator=(const TPixmap& other) {
  if (this == &other) return *this;
  std::vector<uint8_t> copy(std::max<size_t>(static_cast<size_t>(other.pitch) * other.height, 4),
                            0);
  if (other.pixels) {
    for (int y = 0; y < other.height; ++y)
      std::memcpy(copy.data() + static_cast<size_t>(y) * other.pitch, other.Row(y), other.pitch);
  }
  _storage = std::move(copy);
  pixels = _storage.data();
  width = other.width;
  height = other.height;
  pitch = other.pitch;
  format = other.format;
  capacity = other.pitch * other.height;
  return *this;
}

void TPixmap::GetRGBA(int x, int y, uint8_t rgba[4]) const {
  LoadRGBA(Row(y) + static_cast<size_t>(x) * BytesPerPixel(format), format, rgba);
}

std::shared_ptr<TPixmap> TPixmap::Convert(int to_format) const {
  if (to_format == format) return Copy();
  auto out = Create(width, height, to_format);
  if (!out) return nullptr;
  const int in_bpp = BytesPerPixel(format);
  const int out_bpp = BytesPerPixel(to_format);
  uint8_t rgba[4];
  for (int y = 0; y < height; ++y) {
    const uint8_t* src = Row(y);
    uint8_t* dst = out->Row(y);
    for (int x = 0; x < width; ++x, src += in_bpp, dst += out_bpp) {
      LoadRGBA(src, format, rgba);
      StoreRGBA(rgba, to_format, dst);
    }
  }
  return out;
}

std::shared_ptr<TPixmap> TPixmap::Copy() const {
  auto out = Create(width, height, format);
  if (!out) return nullptr;
  const size_t row_bytes = static_cast<size_t>(width) * BytesPerPixel(format);
  for (int y = 0; y < height; ++y) std::memcpy(out->Row(y), Row(y), row_bytes);
  return out;
}

std::shared_ptr<TPixmap> TPixmap::FlippedVertically() const {
  auto out = Create(width, height, format);
  if (!out) return nullptr;
  const size_t row_bytes = static_cast<size_t>(width) * BytesPerPixel(format);
  for (int y = 0; y < height; ++y) std::memcpy(out->Row(height - 1 - y), Row(y), row_bytes);
  return out;
}

std::shared_ptr<TPixmap> TPixmap::Resized(int new_width, int new_height) const {
  auto out = Create(std::max(new_width, 0), std::max(new_height, 0), format);
  if (!out || width == 0 || height == 0) return out;
  const int bpp = BytesPerPixel(format);
  for (int y = 0; y < out->height; ++y) {
    const uint8_t* src = Row(static_cast<int>(static_cast<int64_t>(y) * height / out->height));
    uint8_t* dst = out->Row(y);
    for (int x = 0; x < out->width; ++x) {
      const int sx = static_cast<int>(static_cast<int64_t>(x) * width / out->width);
      std::memcpy(dst + static_cast<size_t>(x) * bpp, src + static_cast<size_t>(sx) * bpp, bpp);
    }
  }
  return out;
}

std::shared_ptr<TPixmap> MaskPixmap(const TPixmap& pixmap, int r, int g, int b) {
  auto out = pixmap.Convert(PixelFormat::RGBA8888);
  if (!out) return nullptr;
  const int w = out->width;
  const int h = out->height;
  // First pass: the alpha channel records which pixels have the mask colour (0) and which keep
  // their own (255). This runs on every face grab, every frame, so it is kept to one tight loop.
  // Pixels are compared as whole words in a branch-free loop the compiler can vectorise; the
  // key and the colour mask are built from bytes, so the byte order of the machine is irrelevant.
  // A key outside 0..255 matches no pixel.
  const bool key_in_range = r == (r & 0xff) && g == (g & 0xff) && b == (b & 0xff);
  const uint8_t key_bytes[4] = {static_cast<uint8_t>(r), static_cast<uint8_t>(g),
                                static_cast<uint8_t>(b), 0};
  const uint8_t colour_bytes[4] = {0xff, 0xff, 0xff, 0};
  uint32_t key;
  uint32_t colour_mask;
  std::memcpy(&key, key_bytes, 4);
  std::memcpy(&colour_mask, colour_bytes, 4);
  if (!key_in_range) key = ~colour_mask;  // has alpha bits set, so no masked colour equals it
  const uint32_t alpha_mask = ~colour_mask;
  uint32_t any_masked = 0;
  for (int y = 0; y < h; ++y) {
    uint8_t* row = out->Row(y);
    for (int x = 0; x < w; ++x) {
      uint32_t word;
      std::memcpy(&word, row + 4 * x, 4);
      const uint32_t rgb = word & colour_mask;
      const uint32_t masked = rgb == key;
      any_masked |= masked;
      word = rgb | ((masked - 1u) & alpha_mask);  // alpha 0 where masked, 255 elsewhere
      std::memcpy(row + 4 * x, &word, 4);
    }
  }
  if (!any_masked) return out;
  // Second pass: masked pixels take the average colour of their unmasked 3x3 neighbours. Only
  // masked pixels change colour and only unmasked ones are read, so this works in place.
  for (int y = 0; y < h; ++y) {
    uint8_t* p = out->Row(y);
    for (int x = 0; x < w; ++x, p += 4) {
      if (p[3] != 0) continue;
      int sum[3] = {0, 0, 0};
      int count = 0;
      for (int ny = std::max(y - 1, 0); ny <= std::min(y + 1, h - 1); ++ny) {
        const uint8_t* row = out->Row(ny);
        for (int nx = std::max(x - 1, 0); nx <= std::min(x + 1, w - 1); ++nx) {
          const uint8_t* q = row + nx * 4;
          if (q[3] == 0) continue;
          sum[0] += q[0], sum[1] += q[1], sum[2] += q[2];
          ++count;
        }
      }
      for (int c = 0; c < 3; ++c) p[c] = static_cast<uint8_t>(count ? sum[c] / count : 0);
    }
  }
  return out;
}
