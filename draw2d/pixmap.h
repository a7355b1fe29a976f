#pragma once
// In-memory pixel buffers; row 0 is the top row, rows padded so the pitch is a multiple of 4.
#include <cstdint>
#include <memory>
#include <vector>

struct PixelFormat {
  static constexpr int I8 = 1;  // intensity
  static constexpr int A8 = 2;  // alpha only
  static constexpr int BGR888 = 3;
  static constexpr int RGB888 = 4;
  static constexpr int BGRA8888 = 5;
  static constexpr int RGBA8888 = 6;
};
int BytesPerPixel(int format);  // 0 for an unknown format
bool FormatHasAlpha(int format);

class TPixmap {
 public:
  // Zero-filled; nullptr for an unknown format, a negative size or one too large to address.
  static std::shared_ptr<TPixmap> Create(int width, int height, int format);

  TPixmap() = default;
  // Copies own their pixels: `pixels` never points into another pixmap's storage.
  TPixmap(const TPixmap& other);
  TPixmap& operator=(const TPixmap& other);
  TPixmap(TPixmap&&) noexcept = default;
  TPixmap& operator=(TPixmap&&) noexcept = default;

  uint8_t* Row(int y) { return pixels + static_cast<size_t>(y) * pitch; }
  const uint8_t* Row(int y) const { return pixels + static_cast<size_t>(y) * pitch; }
  // The pixel as (r, g, b, a) whatever the format.
  void GetRGBA(int x, int y, uint8_t rgba[4]) const;
  std::shared_ptr<TPixmap> Convert(int format) const;  // a copy in another format
  std::shared_ptr<TPixmap> Copy() const;
  std::shared_ptr<TPixmap> FlippedVertically() const;
  std::shared_ptr<TPixmap> Resized(int width, int height) const;  // nearest-neighbour

  uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  int format = 0;
  int capacity = 0;

 private:
  std::vector<uint8_t> _storage;
};

// A format-6 copy in which exact (r, g, b) pixels are transparent and take the average colour of
// their non-matching 3x3 neighbours (or black), so filtered edges never bleed the mask colour.
std::shared_ptr<TPixmap> MaskPixmap(const TPixmap& pixmap, int r, int g, int b);
