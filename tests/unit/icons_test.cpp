// The installed icons, read back with the game's own PNG loader: every size is the face as the
// game draws it (its yellow, two eyes looking ahead, a mouth below), centred and symmetric, on a
// transparent square; the hand-written SVG uses the same colour and layout.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <memory>
#include <regex>
#include <sstream>
#include <string>

#include "draw2d/pixmap.h"
#include "game/face.h"
#include "resources/png_loader.h"

namespace {

constexpr int kSizes[] = {48, 64, 128, 256};
// The icon square holds the 90-unit face canvas with 3 units of room on each side.
constexpr double kUnits = 96, kRoom = 3;

struct Rgba {
  int r, g, b, a;
};

class Icon {
 public:
  explicit Icon(int size) : size_(size) {
    const std::string path =
        std::string(MOODY_BINARY_DIR) + "/generated/icons/moody-" + std::to_string(size) + ".png";
    pixmap_ = LoadPixmap(path);
  }
  bool Loaded() const { return pixmap_ != nullptr; }
  const TPixmap& pixmap() const { return *pixmap_; }
  // The pixel under a point of the face canvas (0..90 units).
  Rgba AtFace(double u, double v) const {
    const double scale = size_ / kUnits;
    return At(static_cast<int>((u + kRoom) * scale), static_cast<int>((v + kRoom) * scale));
  }
  Rgba At(int x, int y) const {
    uint8_t p[4];
    pixmap_->GetRGBA(x, y, p);
    return {p[0], p[1], p[2], p[3]};
  }

 private:
  int size_;
  std::shared_ptr<TPixmap> pixmap_;
};

bool Near(const Rgba& got, int r, int g, int b, int a = 255, int tolerance = 2) {
  return std::abs(got.r - r) <= tolerance && std::abs(got.g - g) <= tolerance &&
         std::abs(got.b - b) <= tolerance && std::abs(got.a - a) <= tolerance;
}

std::string Show(const Rgba& c) {
  return "(" + std::to_string(c.r) + ", " + std::to_string(c.g) + ", " + std::to_string(c.b) +
         ", " + std::to_string(c.a) + ")";
}

TEST(Icons, EverySizeShowsTheFaceWithEyesAndAMouth) {
  const int(&y)[3] = kFaceYellow;
  for (int size : kSizes) {
    SCOPED_TRACE("size " + std::to_string(size));
    Icon icon(size);
    ASSERT_TRUE(icon.Loaded()) << "moody-" << size << ".png (built by the moody_icons target)";
    ASSERT_EQ(icon.pixmap().width, size);
    ASSERT_EQ(icon.pixmap().height, size);
    // Exactly the face's own yellow on the forehead, the cheeks and the chin.
    for (auto [u, v] : {std::pair{45.0, 12.0}, {10.0, 62.0}, {80.0, 62.0}, {45.0, 84.0}})
      EXPECT_TRUE(Near(icon.AtFace(u, v), y[0], y[1], y[2], 255, 0))
          << u << "," << v << " " << Show(icon.AtFace(u, v));
    // The eyes as the canvas draws them looking ahead: a white ring round a black pupil.
    for (double eye : {25.0, 65.0}) {
      EXPECT_TRUE(Near(icon.AtFace(eye, 40), 0, 0, 0)) << Show(icon.AtFace(eye, 40));
      EXPECT_TRUE(Near(icon.AtFace(eye, 27.5), 255, 255, 255)) << Show(icon.AtFace(eye, 27.5));
      EXPECT_TRUE(Near(icon.AtFace(eye - 12.5, 40), 255, 255, 255));
    }
    // A dark mouth below the eyes, at the middle of the face: the darkest pixel of the middle
    // column between the eyes' bottom and the chin.
    const double scale = size / kUnits;
    const int column = static_cast<int>((45 + kRoom) * scale);
    int darkest = 255 * 3;
    for (int row = static_cast<int>((58 + kRoom) * scale);
         row < static_cast<int>((80 + kRoom) * scale); ++row) {
      const Rgba c = icon.At(column, row);
      darkest = std::min(darkest, c.r + c.g + c.b);
    }
    EXPECT_LT(darkest, 3 * 80);
  }
}

TEST(Icons, FaceIsCentredAndSymmetricOnATransparentSquare) {
  for (int size : kSizes) {
    SCOPED_TRACE("size " + std::to_string(size));
    Icon icon(size);
    ASSERT_TRUE(icon.Loaded());
    for (auto [x, y] : {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}})
      EXPECT_EQ(icon.At(x, y).a, 0);
    // The disc's edge is crossed at the same distance from all four sides.
    int left = 0, top = 0;
    while (left < size && icon.At(left, size / 2).a < 128) ++left;
    while (top < size && icon.At(size / 2, top).a < 128) ++top;
    EXPECT_GT(left, 0);
    EXPECT_EQ(left, top);
    int mismatches = 0;
    for (int row = 0; row < size; ++row)
      for (int x = 0; x < size / 2; ++x)
        if (!Near(icon.At(x, row), icon.At(size - 1 - x, row).r, icon.At(size - 1 - x, row).g,
                  icon.At(size - 1 - x, row).b, icon.At(size - 1 - x, row).a))
          ++mismatches;
    EXPECT_EQ(mismatches, 0);
  }
}

TEST(Icons, TheScalableIconHasTheSameColourAndLayout) {
  std::ifstream file(std::string(MOODY_SOURCE_DIR) + "/data/moody.svg");
  ASSERT_TRUE(file) << "data/moody.svg";
  std::stringstream text;
  text << file.rdbuf();
  const std::string svg = text.str();
  char yellow[8];
  std::snprintf(yellow, sizeof yellow, "#%02x%02x%02x", kFaceYellow[0], kFaceYellow[1],
                kFaceYellow[2]);
  // The disc, both eye whites and both pupils, at the canvas positions moved by the room.
  for (const std::string& circle :
       {std::string("cx=\"48\" cy=\"48\" r=\"45\" fill=\"") + yellow + "\"",
        std::string("cx=\"28\" cy=\"43\" r=\"15\" fill=\"#ffffff\""),
        std::string("cx=\"68\" cy=\"43\" r=\"15\" fill=\"#ffffff\""),
        std::string("cx=\"28\" cy=\"43\" r=\"10\" fill=\"#000000\""),
        std::string("cx=\"68\" cy=\"43\" r=\"10\" fill=\"#000000\"")})
    EXPECT_NE(svg.find(circle), std::string::npos) << circle;
  EXPECT_TRUE(std::regex_search(svg, std::regex("viewBox=\"0 0 96 96\"")));
  EXPECT_TRUE(std::regex_search(svg, std::regex("<path d=\"M [0-9.]+ [0-9.]+ A 20 20 ")));
}

}  // namespace
