#include "draw2d/texture_layout.h"

#include <algorithm>
#include <cstring>

#include "draw2d/pixmap.h"

int TexturePowerOfTwo(int n) {
  int p = 1;
  while (p < n && p < (1 << 30)) p <<= 1;
  return p;
}

bool CalculateTexSize(int w, int h, const std::function<bool(int, int)>& accepted, int& tex_w,
                      int& tex_h) {
  tex_w = TexturePowerOfTwo(w);
  tex_h = TexturePowerOfTwo(h);
  for (;;) {
    if (accepted(tex_w, tex_h)) return true;
    if (tex_w == 1 && tex_h == 1) return false;
    if (tex_w > 1) tex_w /= 2;
    if (tex_h > 1) tex_h /= 2;
  }
}

std::shared_ptr<TPixmap> PadForTexture(std::shared_ptr<TPixmap> src, int tex_w, int tex_h) {
  if (src->format != PixelFormat::RGBA8888) src = src->Convert(PixelFormat::RGBA8888);
  if (!src) return nullptr;
  int w = src->width, h = src->height;
  if (w == tex_w && h == tex_h) return src;
  auto dst = TPixmap::Create(tex_w, tex_h, PixelFormat::RGBA8888);
  for (int y = 0; y < h; ++y) {
    uint8_t* row = dst->Row(y);
    std::memcpy(row, src->Row(y), static_cast<size_t>(w) * 4);
    if (w < tex_w) std::memcpy(row + w * 4, row + (w - 1) * 4, 4);
  }
  if (h < tex_h) {
    std::memcpy(dst->Row(h), dst->Row(h - 1), static_cast<size_t>(std::min(w + 1, tex_w)) * 4);
  }
  return dst;
}
