// A canvas drawn as last time is neither drawn nor grabbed again; anything that could change
// what the grab holds makes it drawn and grabbed.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "display/graphics.h"
#include "draw2d/canvas_memo.h"
#include "draw2d/image.h"
#include "draw2d/null_driver.h"
#include "draw2d/render_state.h"

namespace {

// Refills textures in place, as the OpenGL driver does: new pixels, same frame object.
class TRefillingDriver : public TRecordingQuill2DDriver {
 public:
  bool UpdateFrameFromPixmap(TImageFrame&, const TPixmap&, int) override { return true; }
};

class CanvasMemoTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ForgetCanvases();
    SetMaskColor(0, 0, 255);
    AutoMidHandle(false);
    driver.canvas_grabs_cost = true;
    SetGraphicsDriver(&driver, 2);
    ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
    face = CreateImage(90, 90);
    picture = CreateImage(30, 30);
    SetBlend(BlendMode::Mask);
    SetAlpha(1.0f);
  }
  void TearDown() override {
    ForgetCanvases();
    face.reset();
    picture.reset();
    CloseGraphics();
    SetGraphicsDriver(nullptr);
  }

  // One canvas the way the face is drawn: a covering rectangle first, then what `extra` adds;
  // returns the drawing calls that reached the driver and whether it grabbed.
  std::string Canvas(const std::function<void()>& extra = {}, int grab_x = 0) {
    driver.Clear();
    const int grabs = driver.grabs;
    BeginCanvas();
    SetBlend(BlendMode::Mask);
    SetColor(0, 0, 255);
    DrawRect(0, 0, 90, 90);
    SetColor(241, 230, 63);
    DrawOval(0, 3, 90, 87);
    if (extra) extra();
    GrabImage(face.get(), grab_x, 0);
    Cls();
    std::string drawn;
    for (const DrawCall& c : driver.calls) {
      if (c.name.rfind("Draw", 0) == 0) drawn += c.name + " ";
    }
    return drawn + (driver.grabs > grabs ? "grabbed" : "kept");
  }

  TRefillingDriver driver;
  std::shared_ptr<TImage> face, picture;
};

TEST_F(CanvasMemoTest, TheSameCanvasIsDrawnOnceAndKeptAfterwardsWithItsStateStillSet) {
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  const uint64_t version = face->versions[0];
  EXPECT_EQ(Canvas(), "kept");
  EXPECT_EQ(Canvas(), "kept");
  EXPECT_EQ(face->versions[0], version);
  // The state changes still reach the driver, so what is drawn next sees them in force.
  int r = 0, g = 0, b = 0;
  GetColor(r, g, b);
  EXPECT_EQ(r, 241);
  bool colour_sent = false;
  for (const DrawCall& c : driver.calls) {
    if (c.name == "SetColor" && c.args.size() == 3 && c.args[0] == 241) colour_sent = true;
  }
  EXPECT_TRUE(colour_sent);
}

TEST_F(CanvasMemoTest, AnyDifferenceInTheCallsTheStateOrTheGrabDrawsItAgain) {
  Canvas();
  ASSERT_EQ(Canvas(), "kept");
  // A changed argument, then back: each difference from the last grab draws.
  EXPECT_EQ(Canvas([] { DrawOval(10, 25, 30, 30); }), "DrawRect DrawOval DrawOval grabbed");
  EXPECT_EQ(Canvas([] { DrawOval(10, 25, 30, 30); }), "kept");
  EXPECT_EQ(Canvas([] { DrawOval(10, 26, 30, 30); }), "DrawRect DrawOval DrawOval grabbed");
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  // State counts where something is drawn in it, not where nothing is.
  EXPECT_EQ(Canvas([] { SetColor(0, 0, 1); }), "kept");
  auto dot_in = [](int blue) {
    return [blue] {
      SetColor(0, 0, blue);
      DrawOval(40, 40, 4, 4);
    };
  };
  EXPECT_EQ(Canvas(dot_in(1)), "DrawRect DrawOval DrawOval grabbed");
  EXPECT_EQ(Canvas(dot_in(2)), "DrawRect DrawOval DrawOval grabbed");
  EXPECT_EQ(Canvas(dot_in(2)), "kept");
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  // Where it is grabbed from, and the mask colour in force.
  EXPECT_EQ(Canvas({}, 1), "DrawRect DrawOval grabbed");
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  SetMaskColor(0, 0, 254);
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  SetMaskColor(0, 0, 255);
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  // The state the canvas starts from.
  SetLineWidth(3.0f);
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  EXPECT_EQ(Canvas(), "kept");
}

TEST_F(CanvasMemoTest, AnImageOnTheCanvasCountsWithItsPixels) {
  auto with_picture = [this] { DrawImage(picture.get(), 25, 38); };
  EXPECT_EQ(Canvas(with_picture), "DrawRect DrawOval DrawImage grabbed");
  EXPECT_EQ(Canvas(with_picture), "kept");
  // New pixels in the picture (as a grab or a write lock gives it) make the canvas new.
  picture->Lock(0, true, true);
  EXPECT_EQ(Canvas(with_picture), "DrawRect DrawOval DrawImage grabbed");
  EXPECT_EQ(Canvas(with_picture), "kept");
  picture->SetPixmap(0, TPixmap::Create(30, 30, PixelFormat::RGBA8888));
  EXPECT_EQ(Canvas(with_picture), "DrawRect DrawOval DrawImage grabbed");
}

TEST_F(CanvasMemoTest, TheGrabbedImageChangedElsewhereIsGrabbedAgain) {
  Canvas();
  GrabImage(face.get(), 200, 200);  // a grab outside any canvas
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  face->Lock(0, true, true);
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  EXPECT_EQ(Canvas(), "kept");
  // A display opened afresh has none of the old textures.
  CloseGraphics();
  ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
  SetBlend(BlendMode::Mask);
  SetAlpha(1.0f);
  EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
}

// Whatever shows through the first call would make the same calls grab different pixels.
TEST_F(CanvasMemoTest, ACanvasThatLetsTheOldPixelsShowThroughIsAlwaysDrawn) {
  const std::function<void()> not_covering[] = {
      [] { SetAlpha(0.5f); },                 // the masked rectangle fails the alpha test
      [] { SetBlend(BlendMode::Alpha); },     // blended over what was there
      [] { SetRotation(10); },                // turned: corners uncovered
      [] { SetViewport(0, 0, 50, 50); },      // clipped
  };
  for (const auto& before : not_covering) {
    for (int pass = 0; pass < 2; ++pass) {
      driver.Clear();
      const int grabs = driver.grabs;
      BeginCanvas();
      before();
      DrawRect(0, 0, 90, 90);
      GrabImage(face.get(), 0, 0);
      EXPECT_EQ(driver.grabs, grabs + 1) << "pass " << pass;
    }
    SetAlpha(1.0f);
    SetBlend(BlendMode::Mask);
    SetRotation(0);
    SetViewport(0, 0, 800, 600);
  }
  // A rectangle too small, or an oval first.
  for (int pass = 0; pass < 2; ++pass) {
    EXPECT_EQ(Canvas([] {}, 1), "DrawRect DrawOval grabbed");
  }
  // A solid rectangle covers at any alpha; so does a clear.
  SetBlend(BlendMode::Solid);
  SetAlpha(0.2f);
  driver.Clear();
  for (int pass = 0; pass < 2; ++pass) {
    const int grabs = driver.grabs;
    BeginCanvas();
    Cls();
    DrawOval(0, 0, 90, 90);
    GrabImage(face.get(), 0, 0);
    EXPECT_EQ(driver.grabs, grabs + (pass == 0 ? 1 : 0));
  }
}

TEST_F(CanvasMemoTest, AReadOfTheBackBufferInsideTheCanvasGetsWhatWasDrawnBeforeIt) {
  for (int pass = 0; pass < 2; ++pass) {
    driver.Clear();
    BeginCanvas();
    SetBlend(BlendMode::Solid);
    DrawRect(0, 0, 90, 90);
    DrawOval(5, 5, 10, 10);
    CurrentDrawDriver()->GrabPixmap(0, 0, 4, 4);
    DrawLine(0, 0, 5, 5, 0);
    GrabImage(face.get(), 0, 0);
    std::string order;
    for (const DrawCall& c : driver.calls) {
      if (c.name != "SetBlend" && c.name != "SetColor" && c.name != "SetAlpha") order += c.name + " ";
    }
    EXPECT_EQ(order, "DrawRect DrawOval GrabPixmap DrawLine GrabPixmap ") << "pass " << pass;
  }
}

// A turn inside the canvas reaches the driver between the draws it came between.
TEST_F(CanvasMemoTest, TurnsAndScalesKeepTheirPlaceAmongTheDraws) {
  Canvas([] {
    SetRotation(45);
    DrawRect(17, 20, 7, 19);
    SetRotation(0);
  });
  std::string order;
  for (const DrawCall& c : driver.calls) {
    if (c.name == "SetTransform") order += c.args[0] == 1.0f ? "upright " : "turned ";
    if (c.name == "DrawRect" || c.name == "DrawOval") order += c.name + " ";
  }
  EXPECT_EQ(order, "DrawRect DrawOval turned DrawRect upright ");
}

TEST_F(CanvasMemoTest, ACanvasNeverGrabbedIsDrawnBeforeTheFrameShows) {
  driver.Clear();
  BeginCanvas();
  SetBlend(BlendMode::Solid);
  DrawRect(0, 0, 90, 90);
  EXPECT_TRUE(driver.calls.empty() || driver.calls.back().name != "DrawRect");
  Flip(0);
  EXPECT_FALSE(CanvasOpen());
  std::string order;
  for (const DrawCall& c : driver.calls) {
    if (c.name == "DrawRect" || c.name == "Flip") order += c.name + " ";
  }
  EXPECT_EQ(order, "DrawRect Flip ");
  DrawOval(1, 1, 2, 2);  // straight to the driver again
  EXPECT_EQ(driver.calls.back().name, "DrawOval");
}

TEST_F(CanvasMemoTest, ADriverWhoseGrabsCostNothingSeesEveryCallAsItComes) {
  driver.canvas_grabs_cost = false;
  for (int pass = 0; pass < 2; ++pass) EXPECT_EQ(Canvas(), "DrawRect DrawOval grabbed");
  driver.Clear();
  BeginCanvas();
  EXPECT_FALSE(CanvasOpen());
  DrawRect(0, 0, 1, 1);
  ASSERT_EQ(driver.calls.size(), 1u);
}

}  // namespace
