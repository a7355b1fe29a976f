// The render-state front end through the recording driver: what reaches the driver, in what
// order, with which arguments.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "draw2d/null_driver.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"

namespace {

class RenderStateTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetGraphicsDriver(&driver, 2);
    ASSERT_TRUE(OpenGraphics(800, 600, 0, 60, 0));
  }
  void TearDown() override {
    CloseGraphics();
    SetGraphicsDriver(nullptr, 2);
  }

  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (auto& c : driver.calls) names.push_back(c.name);
    return names;
  }
  const DrawCall& Last(const std::string& name) const {
    for (auto it = driver.calls.rbegin(); it != driver.calls.rend(); ++it) {
      if (it->name == name) return *it;
    }
    static DrawCall none{"none", {}};
    ADD_FAILURE() << "no call " << name;
    return none;
  }

  TRecordingQuill2DDriver driver;
};

TEST_F(RenderStateTest, OpeningSendsWholeStateInOrderThenClearsBothBuffersOnce) {
  std::vector<std::string> expected = {
      "SetBlend",     "SetColor",    "SetAlpha", "SetClsColor", "SetLineWidth", "SetTransform",
      "SetTransform", "SetViewport", "Cls",      "Flip",        "Cls",          "Flip"};
  std::vector<std::string> names = Names();
  // Drop what the driver saw before the record became current.
  while (!names.empty() && names.front() != "SetBlend") names.erase(names.begin());
  names.resize(std::min(names.size(), expected.size()));
  EXPECT_EQ(names, expected);
  EXPECT_EQ(Last("SetBlend").args, std::vector<float>{1});
  EXPECT_EQ(Last("SetColor").args, (std::vector<float>{255, 255, 255}));
  EXPECT_EQ(Last("SetAlpha").args, std::vector<float>{1});
  EXPECT_EQ(Last("SetViewport").args, (std::vector<float>{0, 0, 800, 600}));
  EXPECT_EQ(Last("SetTransform").args, (std::vector<float>{1, 0, 0, 1}));

  // Made current again: the state is re-sent but the buffers are not cleared a second time.
  SetColor(10, 20, 30);
  driver.Clear();
  auto* record = CurrentRenderState();
  ASSERT_NE(record, nullptr);
  int w, h, d, hz, f;
  record->GetSettings(w, h, d, hz, f);
  EXPECT_EQ(d, 24);
  EXPECT_EQ(w, 800);
  MakeCurrent(std::static_pointer_cast<TQuill2DGraphics>(CurrentGraphics()));
  EXPECT_EQ(Last("SetColor").args, (std::vector<float>{10, 20, 30}));
  for (auto& c : driver.calls) EXPECT_NE(c.name, "Cls");
}

TEST_F(RenderStateTest, SettersKeepValuesAndGettersGiveThemBack) {
  SetColor(300, -5, 128);  // the record keeps what was asked; only the driver clamps
  SetAlpha(1.5f);
  SetBlend(3);
  SetHandle(5, 7);
  SetOrigin(100, 200);
  int r, g, b;
  GetColor(r, g, b);
  EXPECT_EQ(r, 300);
  EXPECT_EQ(g, -5);
  EXPECT_EQ(b, 128);
  EXPECT_FLOAT_EQ(GetAlpha(), 1.5f);
  EXPECT_EQ(GetBlend(), 3);
  float hx, hy, ox, oy;
  GetHandle(hx, hy);
  GetOrigin(ox, oy);
  EXPECT_EQ(hx, 5);
  EXPECT_EQ(hy, 7);
  EXPECT_EQ(CurrentRenderState()->handle_x, -5);  // stored negated
  EXPECT_EQ(ox, 100);
  EXPECT_EQ(oy, 200);
}

TEST_F(RenderStateTest, RotationAndScaleBuildTheMatrixClockwiseOnScreen) {
  SetRotation(90);
  auto* s = CurrentRenderState();
  // Local +x (right) must land on screen +y (down): a clockwise quarter turn.
  float x = 1, y = 0;
  EXPECT_NEAR(x * s->tform_ix + y * s->tform_iy, 0.0f, 1e-6);
  EXPECT_NEAR(x * s->tform_jx + y * s->tform_jy, 1.0f, 1e-6);

  SetRotation(30);
  SetScale(2, 3);
  float sn = static_cast<float>(std::sin(30 * M_PI / 180)),
        cs = static_cast<float>(std::cos(30 * M_PI / 180));
  EXPECT_NEAR(s->tform_ix, cs * 2, 1e-6);
  EXPECT_NEAR(s->tform_iy, -sn * 3, 1e-6);
  EXPECT_NEAR(s->tform_jx, sn * 2, 1e-6);
  EXPECT_NEAR(s->tform_jy, cs * 3, 1e-6);
  const auto& t = Last("SetTransform").args;
  ASSERT_EQ(t.size(), 4u);
  EXPECT_EQ(t[0], s->tform_ix);
  EXPECT_EQ(t[1], s->tform_iy);
  EXPECT_EQ(t[2], s->tform_jx);
  EXPECT_EQ(t[3], s->tform_jy);
}

TEST_F(RenderStateTest, ShapesGoToTheDriverWithHandleAndOrigin) {
  DrawRect(17, 20, 7, 19);
  EXPECT_EQ(Last("DrawRect").args, (std::vector<float>{0, 0, 7, 19, 17, 20}));

  SetHandle(5, 7);
  SetOrigin(100, 200);
  DrawRect(10, 20, 30, 40);
  EXPECT_EQ(Last("DrawRect").args, (std::vector<float>{-5, -7, 25, 33, 110, 220}));
  DrawOval(10, 20, 30, 40);
  EXPECT_EQ(Last("DrawOval").args, (std::vector<float>{-5, -7, 25, 33, 110, 220}));
  Plot(1, 2);  // points take the origin but not the handle
  EXPECT_EQ(Last("Plot").args, (std::vector<float>{101, 202}));
}

TEST_F(RenderStateTest, DrawLineLightsItsLastPixelWhereverTheMatrixPutsIt) {
  driver.Clear();
  DrawLine(35, 63, 55, 63, 1);
  ASSERT_EQ(driver.calls.size(), 2u);
  EXPECT_EQ(driver.calls[0].name, "DrawLine");
  EXPECT_EQ(driver.calls[0].args, (std::vector<float>{0, 0, 20, 0, 35, 63}));
  EXPECT_EQ(driver.calls[1].name, "Plot");
  EXPECT_EQ(driver.calls[1].args, (std::vector<float>{55, 63}));

  driver.Clear();
  DrawLine(35, 63, 55, 63, 0);
  ASSERT_EQ(driver.calls.size(), 1u);

  // Rotated a quarter turn about its start, the line's end is 20 pixels below the start.
  SetRotation(90);
  SetOrigin(1, 2);
  DrawLine(35, 63, 55, 63, 1);
  const auto& p = Last("Plot").args;
  ASSERT_EQ(p.size(), 2u);
  EXPECT_NEAR(p[0], 36, 1e-4);
  EXPECT_NEAR(p[1], 85, 1e-4);
}

TEST(OvalSegmentsTest, FollowsTheRadiiInStepsOfFourWithAFloorOfTwelve) {
  EXPECT_EQ(OvalSegments(0, 0, 90, 90), 88);
  EXPECT_EQ(OvalSegments(0, 0, 30, 30), 28);
  EXPECT_EQ(OvalSegments(0, 0, 20, 20), 20);
  EXPECT_EQ(OvalSegments(0, 0, 10, 4), 12);
  EXPECT_EQ(OvalSegments(0, 0, 16, 15), 12);    // radii sum 15.5
  EXPECT_EQ(OvalSegments(50, 50, 20, 20), 28);  // a box given backwards uses the radii's size
  EXPECT_EQ(OvalSegments(-3, 8, 31, 42), 32);   // position does not matter
}

TEST(NullDriverTest, GrabsAreZeroFilledEvenWhenTheLastOneWasScribbledOn) {
  TNullQuill2DDriver driver;
  auto first = driver.GrabPixmap(0, 0, 90, 90);
  ASSERT_TRUE(first);
  EXPECT_EQ(first->format, PixelFormat::RGBA8888);
  first->Row(10)[40] = 99;
  first.reset();
  auto second = driver.GrabPixmap(0, 0, 90, 90);
  EXPECT_EQ(second->Row(10)[40], 0);
  // While a grab is still held, the next one must not share its pixels.
  second->Row(0)[0] = 7;
  auto third = driver.GrabPixmap(0, 0, 90, 90);
  EXPECT_NE(third->pixels, second->pixels);
  EXPECT_EQ(third->Row(0)[0], 0);
  auto other = driver.GrabPixmap(0, 0, 30, 20);
  EXPECT_EQ(other->width, 30);
  EXPECT_EQ(other->height, 20);
  EXPECT_EQ(driver.grabs, 4);
}

}  // namespace
