// PNG decoding through "incbin::" URLs: every colour type the loader accepts, broken data, and
// the ten built-in pictures.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <deque>
#include <string>
#include <vector>

#include "resources/embedded_files.h"
#include "resources/png_loader.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

struct PngLayout {
  int width, height, bit_depth, color_type;
  std::vector<Bytes> rows;  // packed as PNG stores them
  std::vector<png_color> palette = {};
  Bytes trns = {};                // palette alphas
  png_color_16 trns_colour = {};  // grey / RGB transparent colour
  bool has_trns_colour = false;
  bool interlaced = false;
};

void AppendToVector(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

Bytes EncodePng(const PngLayout& layout) {
  Bytes out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(png, &out, AppendToVector, nullptr);
  png_set_IHDR(png, info, layout.width, layout.height, layout.bit_depth, layout.color_type,
               layout.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
               PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  if (!layout.palette.empty())
    png_set_PLTE(png, info, layout.palette.data(), static_cast<int>(layout.palette.size()));
  if (!layout.trns.empty())
    png_set_tRNS(png, info, layout.trns.data(), static_cast<int>(layout.trns.size()), nullptr);
  if (layout.has_trns_colour) png_set_tRNS(png, info, nullptr, 0, &layout.trns_colour);
  png_write_info(png, info);
  std::vector<png_bytep> rows;
  for (const Bytes& row : layout.rows) rows.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, rows.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// Registers the bytes under a fresh name and loads them back through the URL layer.
std::shared_ptr<TPixmap> LoadBytes(const Bytes& bytes) {
  static std::deque<Bytes> keep;  // the table keeps pointers for the whole run
  static int serial = 0;
  keep.push_back(bytes);
  const std::string name = "test" + std::to_string(++serial) + ".png";
  AddEmbeddedFile(name, keep.back().data(), keep.back().size());
  return LoadPixmap("incbin::" + name);
}

std::array<int, 4> Rgba(const TPixmap& p, int x, int y) {
  std::uint8_t c[4];
  p.GetRGBA(x, y, c);
  return {c[0], c[1], c[2], c[3]};
}

void ExpectShape(const std::shared_ptr<TPixmap>& p, int width, int height, int format) {
  ASSERT_NE(p, nullptr);
  EXPECT_EQ(p->width, width);
  EXPECT_EQ(p->height, height);
  EXPECT_EQ(p->format, format);
  EXPECT_EQ(p->pitch % 4, 0);
  EXPECT_GE(p->pitch, width * BytesPerPixel(format));
}

PngLayout Rgb3x2() {
  return {3,
          2,
          8,
          PNG_COLOR_TYPE_RGB,
          {{255, 0, 0, 0, 255, 0, 0, 0, 255}, {1, 2, 3, 4, 5, 6, 7, 8, 9}}};
}

}  // namespace

TEST(PngLoader, GreyLevelsBecomeIntensity) {
  auto grey8 = LoadBytes(EncodePng({3, 1, 8, PNG_COLOR_TYPE_GRAY, {{0, 128, 255}}}));
  ExpectShape(grey8, 3, 1, PixelFormat::I8);
  EXPECT_EQ(grey8->Row(0)[1], 128);

  // 16-bit samples keep their high byte; 2-bit ones are scaled up to 0..255.
  auto grey16 = LoadBytes(EncodePng({2, 1, 16, PNG_COLOR_TYPE_GRAY, {{0x12, 0x34, 0xAB, 0xFF}}}));
  ExpectShape(grey16, 2, 1, PixelFormat::I8);
  EXPECT_EQ(grey16->Row(0)[0], 0x12);
  EXPECT_EQ(grey16->Row(0)[1], 0xAB);

  auto grey2 = LoadBytes(EncodePng({4, 1, 2, PNG_COLOR_TYPE_GRAY, {{0b00011011}}}));
  ExpectShape(grey2, 4, 1, PixelFormat::I8);
  EXPECT_EQ(Bytes(grey2->Row(0), grey2->Row(0) + 4), (Bytes{0, 85, 170, 255}));
}

TEST(PngLoader, ColourTypesMapToTheirFormats) {
  auto rgb = LoadBytes(EncodePng(Rgb3x2()));
  ExpectShape(rgb, 3, 2, PixelFormat::RGB888);
  EXPECT_EQ(Rgba(*rgb, 2, 0), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(Rgba(*rgb, 1, 1), (std::array<int, 4>{4, 5, 6, 255}));

  PngLayout interlaced = Rgb3x2();
  interlaced.interlaced = true;
  auto same = LoadBytes(EncodePng(interlaced));
  ExpectShape(same, 3, 2, PixelFormat::RGB888);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) EXPECT_EQ(Rgba(*same, x, y), Rgba(*rgb, x, y));

  auto rgb16 = LoadBytes(EncodePng({1, 1, 16, PNG_COLOR_TYPE_RGB, {{1, 0, 2, 0, 3, 0}}}));
  ExpectShape(rgb16, 1, 1, PixelFormat::RGB888);
  EXPECT_EQ(Rgba(*rgb16, 0, 0), (std::array<int, 4>{1, 2, 3, 255}));

  auto rgba = LoadBytes(EncodePng({2, 1, 8, PNG_COLOR_TYPE_RGBA, {{10, 20, 30, 0, 1, 2, 3, 77}}}));
  ExpectShape(rgba, 2, 1, PixelFormat::RGBA8888);
  EXPECT_EQ(Rgba(*rgba, 0, 0), (std::array<int, 4>{10, 20, 30, 0}));
  EXPECT_EQ(Rgba(*rgba, 1, 0), (std::array<int, 4>{1, 2, 3, 77}));

  auto grey_alpha = LoadBytes(EncodePng({2, 1, 8, PNG_COLOR_TYPE_GRAY_ALPHA, {{90, 7, 200, 255}}}));
  ExpectShape(grey_alpha, 2, 1, PixelFormat::RGBA8888);
  EXPECT_EQ(Rgba(*grey_alpha, 0, 0), (std::array<int, 4>{90, 90, 90, 7}));
  EXPECT_EQ(Rgba(*grey_alpha, 1, 0), (std::array<int, 4>{200, 200, 200, 255}));
}

TEST(PngLoader, PalettesAndTransparencyChunksExpand) {
  PngLayout indexed{3, 1, 4, PNG_COLOR_TYPE_PALETTE, {{0x01, 0x20}}};
  indexed.palette = {{9, 8, 7}, {40, 50, 60}, {200, 100, 0}};
  auto opaque = LoadBytes(EncodePng(indexed));
  ExpectShape(opaque, 3, 1, PixelFormat::RGB888);
  EXPECT_EQ(Rgba(*opaque, 0, 0), (std::array<int, 4>{9, 8, 7, 255}));
  EXPECT_EQ(Rgba(*opaque, 1, 0), (std::array<int, 4>{40, 50, 60, 255}));
  EXPECT_EQ(Rgba(*opaque, 2, 0), (std::array<int, 4>{200, 100, 0, 255}));

  indexed.trns = {0, 128};  // the third entry stays opaque
  auto with_alpha = LoadBytes(EncodePng(indexed));
  ExpectShape(with_alpha, 3, 1, PixelFormat::RGBA8888);
  EXPECT_EQ(Rgba(*with_alpha, 0, 0), (std::array<int, 4>{9, 8, 7, 0}));
  EXPECT_EQ(Rgba(*with_alpha, 1, 0), (std::array<int, 4>{40, 50, 60, 128}));
  EXPECT_EQ(Rgba(*with_alpha, 2, 0), (std::array<int, 4>{200, 100, 0, 255}));

  PngLayout keyed{2, 1, 8, PNG_COLOR_TYPE_GRAY, {{50, 51}}};
  keyed.trns_colour.gray = 50;
  keyed.has_trns_colour = true;
  auto grey_keyed = LoadBytes(EncodePng(keyed));
  ExpectShape(grey_keyed, 2, 1, PixelFormat::RGBA8888);
  EXPECT_EQ(Rgba(*grey_keyed, 0, 0)[3], 0);
  EXPECT_EQ(Rgba(*grey_keyed, 1, 0), (std::array<int, 4>{51, 51, 51, 255}));
}

TEST(PngLoader, BrokenDataGivesNoPixmap) {
  const Bytes good = EncodePng(Rgb3x2());
  ASSERT_NE(LoadBytes(good), nullptr);
  EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.begin() + 5)), nullptr);  // short signature
  EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.begin() + 8)), nullptr);  // signature only
  EXPECT_EQ(LoadBytes(Bytes(good.begin(), good.end() - 20)), nullptr);   // cut in the data
  Bytes not_png = good;
  not_png[1] = 'J';
  EXPECT_EQ(LoadBytes(not_png), nullptr);
  Bytes bad_crc = good;
  bad_crc[29] ^= 0xFF;  // the header chunk's checksum
  EXPECT_EQ(LoadBytes(bad_crc), nullptr);
  EXPECT_EQ(LoadBytes(Bytes{}), nullptr);
  EXPECT_EQ(LoadPixmap("incbin::no-such-picture.png"), nullptr);
}

// 16 megapixels is the most the loader takes: one row more is refused before it is decoded,
// even though the data itself is whole and valid.
TEST(PngLoader, ImagesOverSixteenMegapixelsAreRefused) {
  auto blank = [](int width, int height) {
    return PngLayout{width, height, 1, PNG_COLOR_TYPE_GRAY,
                     std::vector<Bytes>(height, Bytes((width + 7) / 8, 0))};
  };
  ExpectShape(LoadBytes(EncodePng(blank(4096, 4096))), 4096, 4096, PixelFormat::I8);
  EXPECT_EQ(LoadBytes(EncodePng(blank(4096, 4097))), nullptr);
  EXPECT_EQ(LoadBytes(EncodePng(blank(16384, 1025))), nullptr);
}

TEST(PngLoader, BuiltinPicturesDecodeToTheirSizesAndFormats) {
  RegisterBuiltinPictures();
  struct Expected {
    int width, height, format;
  };
  const Expected expected[10] = {
      {12, 21, PixelFormat::RGB888},   {192, 69, PixelFormat::I8},
      {307, 44, PixelFormat::I8},      {30, 16, PixelFormat::RGBA8888},
      {40, 20, PixelFormat::RGBA8888}, {40, 36, PixelFormat::RGBA8888},
      {22, 6, PixelFormat::RGBA8888},  {29, 6, PixelFormat::RGBA8888},
      {30, 30, PixelFormat::RGBA8888}, {45, 17, PixelFormat::RGB888},
  };
  std::shared_ptr<TPixmap> pictures[10];
  for (int i = 0; i < 10; ++i) {
    SCOPED_TRACE(kBuiltinPictureNames[i]);
    pictures[i] = LoadPixmap(std::string("incbin::") + kBuiltinPictureNames[i]);
    ExpectShape(pictures[i], expected[i].width, expected[i].height, expected[i].format);
  }
  if (HasFailure()) return;

  // The arrow's tip is its top-left pixel, on the red the mask removes.
  EXPECT_EQ(Rgba(*pictures[0], 0, 0), (std::array<int, 4>{0, 0, 0, 255}));
  EXPECT_EQ(Rgba(*pictures[0], 11, 0), (std::array<int, 4>{255, 0, 0, 255}));
  // The RGBA pictures are shapes on a transparent ground.
  for (int i = 3; i <= 8; ++i) EXPECT_EQ(Rgba(*pictures[i], 0, 0)[3], 0) << kBuiltinPictureNames[i];
  // The closing card is a white plate whose letters contain pure black, cut out when masked.
  EXPECT_EQ(Rgba(*pictures[9], 0, 0), (std::array<int, 4>{255, 255, 255, 255}));
  int black = 0;
  for (int y = 0; y < 17; ++y)
    for (int x = 0; x < 45; ++x)
      black += Rgba(*pictures[9], x, y) == std::array<int, 4>{0, 0, 0, 255};
  EXPECT_GT(black, 20);
}
