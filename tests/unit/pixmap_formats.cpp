// Pixmap layout, format conversion, copies and colour masking.
#include <gtest/gtest.h>

#include <array>
#include <initializer_list>

#include "draw2d/pixmap.h"

namespace {

using Rgba = std::array<int, 4>;

Rgba At(const TPixmap& p, int x, int y) {
  std::uint8_t c[4];
  p.GetRGBA(x, y, c);
  return {c[0], c[1], c[2], c[3]};
}

void Put(TPixmap& p, int x, int y, std::initializer_list<int> bytes) {
  std::uint8_t* dst = p.Row(y) + x * BytesPerPixel(p.format);
  for (int b : bytes) *dst++ = static_cast<std::uint8_t>(b);
}

// An RGB pixmap filled with one colour.
std::shared_ptr<TPixmap> Filled(int w, int h, int r, int g, int b) {
  auto p = TPixmap::Create(w, h, PixelFormat::RGB888);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) Put(*p, x, y, {r, g, b});
  return p;
}

}  // namespace

TEST(Pixmap, CreatePadsRowsToFourBytesAndZeroFills) {
  for (int format = 1; format <= 6; ++format) {
    auto p = TPixmap::Create(5, 3, format);
    ASSERT_NE(p, nullptr) << format;
    EXPECT_EQ(p->pitch, (5 * BytesPerPixel(format) + 3) / 4 * 4) << format;
    for (int y = 0; y < 3; ++y)
      for (int i = 0; i < p->pitch; ++i) EXPECT_EQ(p->Row(y)[i], 0);
  }
  EXPECT_EQ(TPixmap::Create(2, 2, 0), nullptr);
  EXPECT_EQ(TPixmap::Create(2, 2, 7), nullptr);
  EXPECT_EQ(TPixmap::Create(-1, 2, 6), nullptr);
  EXPECT_EQ(TPixmap::Create(100000, 100000, 6), nullptr);  // beyond int addressing
  auto empty = TPixmap::Create(0, 0, 6);
  ASSERT_NE(empty, nullptr);
  EXPECT_NE(empty->pixels, nullptr);
  EXPECT_TRUE(FormatHasAlpha(2) && FormatHasAlpha(5) && FormatHasAlpha(6));
  EXPECT_FALSE(FormatHasAlpha(1) || FormatHasAlpha(3) || FormatHasAlpha(4));
}

TEST(Pixmap, ConvertingToRgbaFillsWhatTheSourceLacks) {
  struct Case {
    int format;
    std::initializer_list<int> bytes;
    Rgba rgba;
  };
  const Case cases[] = {
      {PixelFormat::I8, {77}, {77, 77, 77, 255}},
      {PixelFormat::A8, {77}, {255, 255, 255, 77}},
      {PixelFormat::BGR888, {1, 2, 3}, {3, 2, 1, 255}},
      {PixelFormat::RGB888, {1, 2, 3}, {1, 2, 3, 255}},
      {PixelFormat::BGRA8888, {1, 2, 3, 4}, {3, 2, 1, 4}},
  };
  for (const Case& c : cases) {
    auto p = TPixmap::Create(3, 1, c.format);
    Put(*p, 2, 0, c.bytes);
    auto rgba = p->Convert(PixelFormat::RGBA8888);
    ASSERT_NE(rgba, nullptr);
    EXPECT_EQ(rgba->format, PixelFormat::RGBA8888);
    const std::uint8_t* px = rgba->Row(0) + 8;
    EXPECT_EQ((Rgba{px[0], px[1], px[2], px[3]}), c.rgba) << "format " << c.format;
  }
}

TEST(Pixmap, ConvertingFromRgbaReordersAndDrops) {
  auto p = TPixmap::Create(1, 1, PixelFormat::RGBA8888);
  Put(*p, 0, 0, {10, 20, 30, 40});
  auto bgra = p->Convert(PixelFormat::BGRA8888);
  EXPECT_EQ(bgra->Row(0)[0], 30);
  EXPECT_EQ(bgra->Row(0)[3], 40);
  auto bgr = p->Convert(PixelFormat::BGR888);
  EXPECT_EQ((Rgba{bgr->Row(0)[0], bgr->Row(0)[1], bgr->Row(0)[2], 0}), (Rgba{30, 20, 10, 0}));
  EXPECT_EQ(p->Convert(PixelFormat::A8)->Row(0)[0], 40);
  // Grey survives a trip through intensity unchanged.
  Put(*p, 0, 0, {99, 99, 99, 255});
  EXPECT_EQ(p->Convert(PixelFormat::I8)->Row(0)[0], 99);
  EXPECT_EQ(p->Convert(0), nullptr);
}

TEST(Pixmap, CopiesFlipsAndResizesOwnTheirPixels) {
  auto p = TPixmap::Create(2, 2, PixelFormat::RGB888);
  Put(*p, 0, 0, {1, 1, 1}), Put(*p, 1, 0, {2, 2, 2});
  Put(*p, 0, 1, {3, 3, 3}), Put(*p, 1, 1, {4, 4, 4});

  auto copy = p->Copy();
  Put(*copy, 0, 0, {9, 9, 9});
  EXPECT_EQ(At(*p, 0, 0)[0], 1);
  TPixmap by_value = *p;
  Put(by_value, 1, 1, {8, 8, 8});
  EXPECT_EQ(At(*p, 1, 1)[0], 4);
  EXPECT_EQ(At(by_value, 1, 0)[0], 2);

  auto flipped = p->FlippedVertically();
  EXPECT_EQ(At(*flipped, 0, 0)[0], 3);
  EXPECT_EQ(At(*flipped, 1, 1)[0], 2);

  auto big = p->Resized(4, 3);
  ASSERT_EQ(big->width, 4);
  ASSERT_EQ(big->height, 3);
  const int top[4] = {1, 1, 2, 2}, bottom[4] = {3, 3, 4, 4};
  for (int x = 0; x < 4; ++x) {
    EXPECT_EQ(At(*big, x, 0)[0], top[x]);
    EXPECT_EQ(At(*big, x, 1)[0], top[x]);  // row 1 of 3 still samples source row 0
    EXPECT_EQ(At(*big, x, 2)[0], bottom[x]);
  }
  auto small = big->Resized(1, 1);
  EXPECT_EQ(At(*small, 0, 0)[0], 1);
}

TEST(MaskPixmap, MaskedPixelsTakeTheirNeighboursColour) {
  // A blue pixel with yellow above, left and below: it turns transparent yellow.
  auto p = Filled(3, 3, 0, 0, 255);
  Put(*p, 1, 0, {241, 230, 63});
  Put(*p, 0, 1, {241, 230, 63});
  Put(*p, 1, 2, {241, 230, 63});
  auto masked = MaskPixmap(*p, 0, 0, 255);
  ASSERT_NE(masked, nullptr);
  EXPECT_EQ(masked->format, PixelFormat::RGBA8888);
  EXPECT_EQ(At(*masked, 1, 1), (Rgba{241, 230, 63, 0}));
  EXPECT_EQ(At(*masked, 1, 0), (Rgba{241, 230, 63, 255}));
  // The corner sees two yellow neighbours; the far corner none, so it goes black.
  EXPECT_EQ(At(*masked, 0, 0), (Rgba{241, 230, 63, 0}));
  EXPECT_EQ(At(*masked, 2, 2)[3], 0);
  EXPECT_EQ(At(*masked, 2, 0), (Rgba{241, 230, 63, 0}));
  auto lone = MaskPixmap(*Filled(3, 3, 0, 0, 255), 0, 0, 255);
  EXPECT_EQ(At(*lone, 1, 1), (Rgba{0, 0, 0, 0}));
}

TEST(MaskPixmap, OnlyExactMatchesAreMaskedAndAveragesTruncate) {
  auto p = Filled(3, 1, 0, 0, 254);
  Put(*p, 0, 0, {10, 0, 5});
  Put(*p, 1, 0, {0, 0, 255});
  auto masked = MaskPixmap(*p, 0, 0, 255);
  EXPECT_EQ(At(*masked, 2, 0), (Rgba{0, 0, 254, 255}));
  EXPECT_EQ(At(*masked, 0, 0), (Rgba{10, 0, 5, 255}));
  EXPECT_EQ(At(*masked, 1, 0), (Rgba{5, 0, 129, 0}));  // (10+0)/2, (5+254)/2

  // The source's own alpha is replaced: kept pixels become opaque.
  auto rgba = TPixmap::Create(1, 1, PixelFormat::RGBA8888);
  Put(*rgba, 0, 0, {1, 2, 3, 7});
  EXPECT_EQ(At(*MaskPixmap(*rgba, 0, 0, 0), 0, 0), (Rgba{1, 2, 3, 255}));
  // A grey picture never matches a coloured mask.
  auto grey = TPixmap::Create(1, 1, PixelFormat::I8);
  grey->Row(0)[0] = 255;
  EXPECT_EQ(At(*MaskPixmap(*grey, 255, 0, 0), 0, 0), (Rgba{255, 255, 255, 255}));
}
