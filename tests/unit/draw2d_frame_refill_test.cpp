// Images over a driver that can refill frames in place and grab straight into them: which route
// each operation takes, and that the pixmap catches up with a grab only when someone locks it.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"

namespace {

class FakeFrame : public TImageFrame {
 public:
  FakeFrame(int seq, int w, int h) : seq(seq), w(w), h(h) {}
  void Draw(float, float, float, float, float, float) override {}
  std::shared_ptr<TPixmap> ReadPixels(int rw, int rh) override {
    ++reads;
    auto p = TPixmap::Create(rw, rh, PixelFormat::RGBA8888);
    p->pixels[0] = marker;
    return p;
  }
  int seq, w, h;
  int reads = 0;
  uint8_t marker = 0;
};

// A recording driver that refills frames of the current display and grabs into them when told.
class RefillingDriver : public TRecordingQuill2DDriver {
 public:
  bool UpdateFrameFromPixmap(TImageFrame& frame, const TPixmap& pixmap, int flags) override {
    auto* f = dynamic_cast<FakeFrame*>(&frame);
    const bool ok = refill && f && f->seq == DisplaySequence() && f->w == pixmap.width;
    Record(ok ? "Refill" : "RefillRefused", {float(pixmap.width), float(flags)});
    return ok;
  }
  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                     int flags) override {
    TRecordingQuill2DDriver::CreateFrameFromPixmap(pixmap, flags);
    return std::make_shared<FakeFrame>(DisplaySequence(), pixmap->width, pixmap->height);
  }
  std::shared_ptr<TImageFrame> GrabFrame(const std::shared_ptr<TImageFrame>& reuse, int x, int y,
                                         int w, int h, int flags, const int* mask) override {
    if (!grab_frames) return nullptr;
    std::vector<float> args{float(x), float(y), float(w), float(h), float(flags)};
    if (mask) args.insert(args.end(), {float(mask[0]), float(mask[1]), float(mask[2])});
    Record("GrabFrame", args);
    auto f = std::dynamic_pointer_cast<FakeFrame>(reuse);
    if (!f || f->seq != DisplaySequence()) f = std::make_shared<FakeFrame>(DisplaySequence(), w, h);
    f->marker = static_cast<uint8_t>(++grab_count);
    return f;
  }
  bool refill = true;
  bool grab_frames = true;
  int grab_count = 0;
};

class FrameRefillTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetMaskColor(0, 0, 0);
    SetGraphicsDriver(&driver, 2);
    ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
    driver.Clear();
  }
  void TearDown() override {
    CloseGraphics();
    SetGraphicsDriver(nullptr, 2);
    SetMaskColor(0, 0, 0);
  }
  int Count(const std::string& name) const {
    int n = 0;
    for (auto& c : driver.calls) n += c.name == name;
    return n;
  }
  FakeFrame* Frame(TImage& image) { return dynamic_cast<FakeFrame*>(image.frames[0].get()); }

  RefillingDriver driver;
};

TEST_F(FrameRefillTest, ChangedPixelsRefillTheFrameTheImageHas) {
  auto image = CreateImage(30, 30, 1, 9);
  DrawImage(image.get(), 0, 0);
  ASSERT_EQ(Count("CreateFrameFromPixmap"), 1);
  TImageFrame* first = image->frames[0].get();

  image->SetPixmap(0, TPixmap::Create(30, 30, PixelFormat::RGBA8888));
  EXPECT_EQ(image->frames[0].get(), first) << "the frame went with the old pixmap";
  DrawImage(image.get(), 0, 0);
  image->Lock(0, true, true);
  DrawImage(image.get(), 0, 0);
  DrawImage(image.get(), 0, 0);  // nothing changed since: nothing to do
  EXPECT_EQ(Count("Refill"), 2);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 1);
  EXPECT_EQ(image->frames[0].get(), first);

  // A driver that cannot refill gets a new frame made, as before.
  driver.refill = false;
  image->SetPixmap(0, TPixmap::Create(30, 30, PixelFormat::RGBA8888));
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("RefillRefused"), 1);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 2);
  EXPECT_NE(image->frames[0].get(), first);

  // Nor is a frame of a display since closed ever refilled.
  driver.refill = true;
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
  driver.Clear();
  DrawImage(image.get(), 0, 0);
  EXPECT_EQ(Count("Refill"), 0);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 1);
  EXPECT_EQ(Frame(*image)->seq, DisplaySequence());
}

TEST_F(FrameRefillTest, GrabsGoIntoTheFrameWithTheMaskColourInForce) {
  SetMaskColor(255, 0, 0);
  auto face = CreateImage(90, 90, 1, 9);  // captures red
  auto raw = CreateImage(20, 10, 1, 8);   // not masked
  SetMaskColor(0, 0, 255);
  GrabImage(face.get(), 0, 0);
  GrabImage(raw.get(), 5, 6);
  EXPECT_EQ(Count("GrabPixmap"), 0);
  ASSERT_EQ(Count("GrabFrame"), 2);
  EXPECT_EQ(driver.calls[0].args, (std::vector<float>{0, 0, 90, 90, 9, 0, 0, 255}));
  EXPECT_EQ(driver.calls[1].args, (std::vector<float>{5, 6, 20, 10, 8}));  // no mask

  // The frame is ready: drawing it makes nothing, and the next grab reuses it.
  TImageFrame* frame = face->frames[0].get();
  DrawImage(face.get(), 400, 300);
  GrabImage(face.get(), 0, 0);
  DrawImage(face.get(), 400, 300);
  EXPECT_EQ(Count("CreateFrameFromPixmap"), 0);
  EXPECT_EQ(Count("Refill") + Count("RefillRefused"), 0);
  EXPECT_EQ(face->frames[0].get(), frame);
}

TEST_F(FrameRefillTest, LockReadsTheLastGrabBackOnce) {
  auto face = CreateImage(90, 90, 1, 9);
  GrabImage(face.get(), 0, 0);
  GrabImage(face.get(), 0, 0);
  EXPECT_EQ(Frame(*face)->reads, 0) << "a grab must not read pixels back";
  auto pixels = face->Lock(0, true, false);
  ASSERT_TRUE(pixels);
  EXPECT_EQ(pixels->pixels[0], 2);  // the second grab's pixels
  EXPECT_EQ(face->pixmaps[0], pixels);
  face->Lock(0, true, false);
  EXPECT_EQ(Frame(*face)->reads, 1);
  // Reading back leaves the frame as it is: no refill at the next draw.
  DrawImage(face.get(), 0, 0);
  EXPECT_EQ(Count("Refill") + Count("CreateFrameFromPixmap"), 0);

  // A grab that went with its display cannot be read back; the image starts afresh.
  GrabImage(face.get(), 0, 0);
  FakeFrame* gone = Frame(*face);
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
  auto after = face->Lock(0, true, false);
  ASSERT_TRUE(after);
  EXPECT_EQ(gone->reads, 1);
  EXPECT_EQ(after->pixels[0], 0);
}

TEST_F(FrameRefillTest, WithoutGrabsIntoFramesTheGrabGoesThroughAPixmap) {
  driver.grab_frames = false;
  auto face = CreateImage(90, 90, 1, 9);
  DrawImage(face.get(), 0, 0);
  TImageFrame* frame = face->frames[0].get();
  SetMaskColor(0, 0, 255);
  GrabImage(face.get(), 0, 0);
  EXPECT_EQ(Count("GrabPixmap"), 1);
  ASSERT_TRUE(face->pixmaps[0]);
  EXPECT_EQ(face->pixmaps[0]->format, PixelFormat::RGBA8888);
  EXPECT_FALSE(face->_pixels_in_frame[0]);
  DrawImage(face.get(), 0, 0);
  EXPECT_EQ(Count("Refill"), 1);
  EXPECT_EQ(face->frames[0].get(), frame);
}

}  // namespace
