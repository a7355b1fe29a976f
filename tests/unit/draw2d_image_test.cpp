// Images through the recording driver: creation, masking, lazy frames, drawing and grabbing.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <functional>

#include "display/graphics.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"

namespace {

// A recording driver whose back buffer holds a chosen picture, so grabs have content.
class TPictureDriver : public TRecordingQuill2DDriver {
 public:
  std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int w, int h) override {
    TRecordingQuill2DDriver::GrabPixmap(x, y, w, h);
    auto p = TPixmap::Create(w, h, PixelFormat::RGBA8888);
    for (int j = 0; j < h; ++j) {
      for (int i = 0; i < w; ++i) {
        uint8_t rgba[4];
        picture->GetRGBA(x + i, y + j, rgba);
        std::copy(rgba, rgba + 4, p->Row(j) + i * 4);
      }
    }
    return p;
  }
  std::shared_ptr<TPixmap> picture;
};

void Put(TPixmap& p, int x, int y, int r, int g, int b, int a = 255) {
  uint8_t* px = p.Row(y) + x * BytesPerPixel(p.format);
  if (p.format == PixelFormat::RGB888) {
    px[0] = r, px[1] = g, px[2] = b;
  } else {
    px[0] = r, px[1] = g, px[2] = b, px[3] = a;
  }
}

std::array<int, 4> At(const TPixmap& p, int x, int y) {
  uint8_t rgba[4];
  p.GetRGBA(x, y, rgba);
  return {rgba[0], rgba[1], rgba[2], rgba[3]};
}

class ImageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMaskColor(0, 0, 0);
    AutoMidHandle(false);
    driver.picture = TPixmap::Create(8, 8, PixelFormat::RGBA8888);
    SetGraphicsDriver(&driver, 2);
    ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
    driver.Clear();
  }
  void TearDown() override {
    CloseGraphics();
    SetGraphicsDriver(nullptr, 2);
    AutoMidHandle(false);
    SetMaskColor(0, 0, 0);
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (auto& c : driver.calls) n += c.name == name;
    return n;
  }

  TPictureDriver driver;
};

TEST_F(ImageTest, CreateAndLoadApplyFlagsMaskColourAndMidHandle) {
  SetMaskColor(1, 2, 3);
  auto plain = CreateImage(30, 20, 2, 1);
  EXPECT_EQ(plain->flags, 9);  // always dynamic
  EXPECT_EQ(plain->mask_b, 3);
  EXPECT_EQ(plain->handle_x, 0);
  EXPECT_EQ(plain->pixmaps.size(), 2u);
  EXPECT_EQ(CreateImage(4, 4)->flags, 11);  // -1: masked + filtered

  AutoMidHandle(true);
  auto mid = CreateImage(90, 91, 1, 9);
  EXPECT_EQ(mid->handle_x, 45);
  EXPECT_EQ(mid->handle_y, 45.5f);
  auto loaded = LoadImage(TPixmap::Create(7, 5, PixelFormat::RGBA8888), -1);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(loaded->flags, 3);  // loaded pictures are not dynamic
  EXPECT_EQ(loaded->width, 7);
  EXPECT_EQ(loaded->handle_y, 2.5f);
  EXPECT_FALSE(LoadImage(std::shared_ptr<TPixmap>(), -1));
  EXPECT_FALSE(LoadImage("incbin::no-such-picture.png", -1));
}

TEST_F(ImageTest, MidHandledImageIsCentredOnTheDrawingPositionPlusOrigin) {
  AutoMidHandle(true);
  auto face = CreateImage(90, 90, 1, 9);
  DrawImage(face.get(), 400, 300);
  ASSERT_EQ(Count("DrawImage"), 1);
  EXPECT_EQ(driver.calls.back().args, (std::vector<float>{-45, -45, 45, 45, 400, 300}));
  SetOrigin(10, -20);
  SetHandle(3, 3);  // the render state's handle is for shapes only
  DrawImage(face.get(), 400, 300);
  EXPECT_EQ(driver.calls.back().args, (std::vector<float>{-45, -45, 45, 45, 410, 280}));
  DrawImage(nullptr, 1, 1);
  DrawImage(face.get(), 1, 1, 5);  // no such frame
  EXPECT_EQ(Count("DrawImage"), 2);
}

TEST_F(ImageTest, FramesAreBuiltOnceAndRebuiltAfterAChangeOrADisplayReopen) {
  auto image = CreateImage(30, 30, 1, 9);
  DrawImage(image.get(), 0, 0);
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 1);
  ASSERT_TRUE(image->pixmaps[0]);  // an empty pixmap was made for the draw
  EXPECT_EQ(image->pixmaps[0]->width, 30);

  image->Lock(0, true, false);
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 1);
  image->Lock(0, true, true);
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 2);
  image->SetPixmap(0, TPixmap::Create(30, 30, PixelFormat::RGBA8888));
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 3);

  int seq = DisplaySequence();
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
  EXPECT_NE(DisplaySequence(), seq);
  driver.Clear();
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 1);
  EXPECT_EQ(image->seqs[0], DisplaySequence());
}

TEST_F(ImageTest, GrabMasksWithTheMaskColourInForceAtTheGrab) {
  // A blue pixel with yellow above, left and right; blue elsewhere around it.
  auto& pic = *driver.picture;
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) Put(pic, x, y, 0, 0, 255);
  Put(pic, 3, 2, 241, 230, 63);
  Put(pic, 2, 3, 241, 230, 63);
  Put(pic, 4, 3, 241, 230, 63);
  Put(pic, 5, 5, 0, 0, 254);

  SetMaskColor(255, 0, 0);
  auto image = CreateImage(8, 8, 1, 9);  // captures red
  SetMaskColor(0, 0, 255);               // but the grab uses blue
  GrabImage(image.get(), 0, 0);
  ASSERT_EQ(Count("GrabPixmap"), 1);
  EXPECT_EQ(driver.calls.back().args, (std::vector<float>{0, 0, 8, 8}));
  const TPixmap& p = *image->pixmaps[0];
  EXPECT_EQ(p.format, PixelFormat::RGBA8888);
  EXPECT_EQ(At(p, 3, 3), (std::array<int, 4>{241, 230, 63, 0}));  // neighbours' colour
  EXPECT_EQ(At(p, 0, 0), (std::array<int, 4>{0, 0, 0, 0}));       // no visible neighbour
  EXPECT_EQ(At(p, 5, 5), (std::array<int, 4>{0, 0, 254, 255}));   // near-blue stays
  EXPECT_EQ(At(p, 2, 3), (std::array<int, 4>{241, 230, 63, 255}));

  // The grab of an unmasked image keeps the pixels as read.
  auto raw = CreateImage(8, 8, 1, 8);
  GrabImage(raw.get(), 0, 0);
  EXPECT_EQ(At(*raw->pixmaps[0], 0, 0), (std::array<int, 4>{0, 0, 255, 255}));
}

TEST_F(ImageTest, SetPixmapMasksOnlyOpaqueFormatsWithTheImagesOwnColour) {
  SetMaskColor(255, 0, 0);
  auto rgb = TPixmap::Create(2, 1, PixelFormat::RGB888);
  Put(*rgb, 0, 0, 255, 0, 0);
  Put(*rgb, 1, 0, 0, 0, 0);
  auto rgba = TPixmap::Create(2, 1, PixelFormat::RGBA8888);
  Put(*rgba, 0, 0, 255, 0, 0, 255);
  Put(*rgba, 1, 0, 0, 0, 0, 128);

  auto from_rgb = LoadImage(rgb, 1);
  SetMaskColor(0, 0, 0);  // too late to matter for the image made above
  from_rgb->SetPixmap(0, rgb);
  EXPECT_EQ(At(*from_rgb->pixmaps[0], 0, 0)[3], 0);
  EXPECT_EQ(At(*from_rgb->pixmaps[0], 1, 0)[3], 255);

  auto from_rgba = LoadImage(rgba, 1);
  EXPECT_EQ(from_rgba->pixmaps[0], rgba);  // kept as is, own alpha
  EXPECT_EQ(At(*from_rgba->pixmaps[0], 0, 0)[3], 255);

  auto unmasked = LoadImage(rgb, 2);
  EXPECT_EQ(unmasked->pixmaps[0], rgb);
}

TEST(TexSizeTest, PowersOfTwoHalvedUntilAccepted) {
  auto any = [](int, int) { return true; };
  int w = 0, h = 0;
  ASSERT_TRUE(CalculateTexSize(90, 90, any, w, h));
  EXPECT_EQ(w, 128);
  EXPECT_EQ(h, 128);
  EXPECT_EQ(90.0f / w, 0.703125f);
  ASSERT_TRUE(CalculateTexSize(307, 44, any, w, h));
  EXPECT_EQ(w, 512);
  EXPECT_EQ(h, 64);
  ASSERT_TRUE(CalculateTexSize(30, 1, any, w, h));
  EXPECT_EQ(w, 32);
  EXPECT_EQ(h, 1);
  ASSERT_TRUE(CalculateTexSize(64, 64, any, w, h));
  EXPECT_EQ(w, 64);

  // A driver limited to 256: each side above 1 is halved together.
  auto small = [](int tw, int th) { return tw <= 256 && th <= 256; };
  ASSERT_TRUE(CalculateTexSize(307, 44, small, w, h));
  EXPECT_EQ(w, 256);
  EXPECT_EQ(h, 32);
  ASSERT_TRUE(CalculateTexSize(1000, 2, small, w, h));
  EXPECT_EQ(w, 256);
  EXPECT_EQ(h, 1);

  int asked = 0;
  auto never = [&](int, int) { return ++asked, false; };
  EXPECT_FALSE(CalculateTexSize(4, 2, never, w, h));
  EXPECT_EQ(asked, 3);  // 4x2, 2x1, 1x1
}

}  // namespace
