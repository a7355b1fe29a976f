// The OpenGL drawing driver on a real X server (Xorg, dummy video driver, Mesa): every check reads
// the back buffer and compares exact colours.
#define GL_GLEXT_PROTOTYPES 1
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "display/graphics.h"
#include "draw2d/canvas_memo.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/face_canvas.h"
#include "tests/support/gl_display_environment.h"

namespace {

using RGB = std::array<int, 3>;
constexpr RGB kBlack{0, 0, 0};
constexpr RGB kWhite{255, 255, 255};
constexpr RGB kYellow{241, 230, 63};

const auto* const environment = ::testing::AddGlobalTestEnvironment(new GLDisplayEnvironment);
TGLQuill2DDriver& gl_driver = EnvironmentGLDriver();

class GLDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(CurrentRenderState(), nullptr);
    SetBlend(2);
    SetColor(255, 255, 255);
    SetAlpha(1);
    SetRotation(0);
    SetScale(1, 1);
    SetOrigin(0, 0);
    SetHandle(0, 0);
    SetClsColor(0, 0, 0);
    SetMaskColor(0, 0, 0);
    AutoMidHandle(false);
    Cls();
  }

  static RGB Pixel(int x, int y) {
    auto p = gl_driver.GrabPixmap(x, y, 1, 1);
    return {p->pixels[0], p->pixels[1], p->pixels[2]};
  }
};

TEST_F(GLDrawTest, GrabReadsTheBackBufferTopRowFirst) {
  SetColor(255, 0, 0);
  Plot(0, 0);
  SetColor(0, 255, 0);
  Plot(1, 2);
  auto p = gl_driver.GrabPixmap(0, 0, 4, 4);
  ASSERT_EQ(p->format, PixelFormat::RGBA8888);
  EXPECT_EQ(p->Row(0)[0], 255);
  EXPECT_EQ(p->Row(2)[4 + 1], 255);
  EXPECT_EQ(p->Row(3)[0], 0);
  // Straight from OpenGL, whose rows run bottom-up.
  GLubyte px[4] = {};
  glReadPixels(0, 599, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, px);
  EXPECT_EQ(px[0], 255);
  EXPECT_EQ(Pixel(1, 2), (RGB{0, 255, 0}));
}

TEST_F(GLDrawTest, AlphaIsTruncatedToAByteAndShowsUnderAlphaBlend) {
  SetBlend(3);
  struct Case {
    float alpha;
    int expected;
  };
  const Case cases[] = {{0.3f, 76}, {0.7f, 178}, {0.5f, 127}, {1.5f, 255}, {-0.2f, 0}, {NAN, 0}};
  int x = 0;
  for (const Case& c : cases) {
    SetAlpha(c.alpha);
    GLfloat current[4];
    glGetFloatv(GL_CURRENT_COLOR, current);
    EXPECT_EQ(std::lround(current[3] * 255), c.expected) << "alpha " << c.alpha;
    DrawRect(x, 0, 10, 10);
    EXPECT_EQ(Pixel(x + 5, 5), (RGB{c.expected, c.expected, c.expected})) << "alpha " << c.alpha;
    x += 20;
  }
}

// At alpha 0 a blended draw changes no pixel, so it is not made at all: no fragment reaches the
// back buffer. From the first alpha step on, it is.
TEST_F(GLDrawTest, BlendedDrawsAtAlphaZeroAreLeftOut) {
  auto picture = LoadImage(TPixmap::Create(8, 8, PixelFormat::I8), 0);
  GLuint query = 0;
  glGenQueries(1, &query);
  auto fragments = [&](int blend, float alpha) {
    SetBlend(blend);
    SetAlpha(alpha);
    glBeginQuery(GL_SAMPLES_PASSED, query);
    DrawRect(0, 0, 10, 10);
    DrawOval(20, 0, 10, 10);
    DrawLine(40, 0, 50, 5, 1);
    DrawImage(picture.get(), 60, 0);
    glEndQuery(GL_SAMPLES_PASSED);
    GLuint passed = 0;
    glGetQueryObjectuiv(query, GL_QUERY_RESULT, &passed);
    return passed;
  };
  EXPECT_EQ(fragments(3, 0.0f), 0u);
  EXPECT_EQ(fragments(4, 0.0f), 0u);
  EXPECT_EQ(fragments(3, -1.0f), 0u);
  EXPECT_GT(fragments(3, 1.0f / 255), 0u);
  EXPECT_GT(fragments(4, 1.0f / 255), 0u);
  // Solid and shaded draws do not look at alpha.
  EXPECT_GT(fragments(2, 0.0f), 0u);
  EXPECT_GT(fragments(5, 0.0f), 0u);
  glDeleteQueries(1, &query);
}

TEST_F(GLDrawTest, MaskBlendDrawsOpaqueFromAlphaHalfUp) {
  SetBlend(1);
  SetAlpha(0.5f);  // byte 127 is just below the test's 0.5
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(Pixel(5, 5), kBlack);
  SetAlpha(0.51f);
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(Pixel(5, 5), kWhite);
}

TEST_F(GLDrawTest, ColoursAreClampedToBytes) {
  SetColor(300, -5, 128);
  DrawRect(0, 0, 10, 10);
  EXPECT_EQ(Pixel(5, 5), (RGB{255, 0, 128}));
}

TEST_F(GLDrawTest, RepeatedBlendModeIssuesNoOpenGLCallUntilTheContextIsReset) {
  SetBlend(3);
  ASSERT_TRUE(glIsEnabled(GL_BLEND));
  // Changed behind the driver's back: a second SetBlend(3) that reached OpenGL would undo this.
  glDisable(GL_BLEND);
  SetBlend(3);
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
  SetBlend(1);
  SetBlend(3);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));

  glDisable(GL_BLEND);
  gl_driver.ResetGLContext(*CurrentRenderState());
  SetBlend(3);
  EXPECT_TRUE(glIsEnabled(GL_BLEND));
  SetBlend(1);
  EXPECT_TRUE(glIsEnabled(GL_ALPHA_TEST));
  EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

TEST_F(GLDrawTest, PositiveRotationTurnsShapesClockwiseAboutTheirCorner) {
  SetRotation(45);
  DrawRect(17, 20, 7, 19);
  // The rectangle's centre, (3.5, 9.5) from the corner, turned 45 degrees clockwise on screen.
  EXPECT_EQ(Pixel(12, 29), kWhite);
  EXPECT_EQ(Pixel(26, 24), kBlack);  // where a counter-clockwise turn would put it
  EXPECT_EQ(Pixel(20, 29), kBlack);  // where the unturned rectangle was
  EXPECT_EQ(Pixel(17, 21), kWhite);  // just below the pivot corner
}

TEST_F(GLDrawTest, LinesLightTheirLastPixel) {
  DrawLine(35, 63, 55, 63, 1);
  for (int x = 35; x <= 55; ++x) EXPECT_EQ(Pixel(x, 63), kWhite) << "x " << x;
  EXPECT_EQ(Pixel(34, 63), kBlack);
  EXPECT_EQ(Pixel(56, 63), kBlack);
  EXPECT_EQ(Pixel(45, 62), kBlack);
  EXPECT_EQ(Pixel(45, 64), kBlack);
}

TEST_F(GLDrawTest, OvalsFillTheInscribedEllipse) {
  SetColor(241, 230, 63);
  DrawOval(0, 0, 90, 90);
  for (auto [x, y] : {std::pair{45, 45}, {45, 1}, {1, 45}, {88, 45}, {45, 88}, {20, 20}}) {
    EXPECT_EQ(Pixel(x, y), kYellow) << x << "," << y;
  }
  for (auto [x, y] : {std::pair{3, 3}, {86, 3}, {3, 86}, {86, 86}, {90, 45}}) {
    EXPECT_EQ(Pixel(x, y), kBlack) << x << "," << y;
  }
  DrawOval(100, 100, 10, 4);
  EXPECT_EQ(Pixel(105, 102), kYellow);
  EXPECT_EQ(Pixel(105, 98), kBlack);
}

TEST_F(GLDrawTest, TexturesArePowersOfTwoAndDeletedOnlyWithTheirOwnDisplay) {
  auto wide = TGLImageFrame::CreateFromPixmap(TPixmap::Create(307, 44, PixelFormat::RGB888), 3);
  ASSERT_TRUE(wide);
  EXPECT_EQ(wide->u1, 307.0f / 512.0f);
  EXPECT_EQ(wide->v1, 44.0f / 64.0f);
  GLint w = 0, h = 0;
  glBindTexture(GL_TEXTURE_2D, wide->name);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
  glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
  EXPECT_EQ(w, 512);
  EXPECT_EQ(h, 64);

  auto face = TGLImageFrame::CreateFromPixmap(TPixmap::Create(90, 90, PixelFormat::RGBA8888), 9);
  EXPECT_EQ(face->u1, 0.703125f);
  EXPECT_EQ(face->v1, 0.703125f);
  EXPECT_FALSE(TGLImageFrame::CreateFromPixmap(TPixmap::Create(0, 0, PixelFormat::RGBA8888), 9));

  GLuint name = face->name;
  face.reset();
  EXPECT_FALSE(glIsTexture(name));
  GLuint kept = wide->name;
  wide->seq = DisplaySequence() + 1;  // as if made for a display since closed
  wide.reset();
  EXPECT_TRUE(glIsTexture(kept));
  glDeleteTextures(1, &kept);
  glBindTexture(GL_TEXTURE_2D, 0);
  gl_driver.ResetGLContext(*CurrentRenderState());
}

TEST_F(GLDrawTest, ImagesDrawModulatedByTheColourWithPaddedEdges) {
  // A 3x3 picture: red with a green right column and a blue bottom row.
  auto pixmap = TPixmap::Create(3, 3, PixelFormat::RGB888);
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 3; ++x) {
      uint8_t* p = pixmap->Row(y) + x * 3;
      p[0] = (x < 2 && y < 2) ? 255 : 0;
      p[1] = x == 2 ? 255 : 0;
      p[2] = (y == 2 && x < 2) ? 255 : 0;
    }
  }
  auto image = LoadImage(pixmap, 0);
  ASSERT_TRUE(image);
  DrawImage(image.get(), 10, 10);
  EXPECT_EQ(Pixel(10, 10), (RGB{255, 0, 0}));
  EXPECT_EQ(Pixel(12, 10), (RGB{0, 255, 0}));
  EXPECT_EQ(Pixel(10, 12), (RGB{0, 0, 255}));
  EXPECT_EQ(Pixel(13, 13), kBlack);

  // The texture's one extra column and row repeat the edge, so filtering sees no black border.
  GLubyte tex[4 * 4 * 4] = {};
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, tex);
  auto texel = [&](int x, int y) {
    const GLubyte* t = tex + (y * 4 + x) * 4;
    return std::array<int, 4>{t[0], t[1], t[2], t[3]};
  };
  EXPECT_EQ(texel(3, 0), (std::array<int, 4>{0, 255, 0, 255}));
  EXPECT_EQ(texel(0, 3), (std::array<int, 4>{0, 0, 255, 255}));
  EXPECT_EQ(texel(3, 3), (std::array<int, 4>{0, 255, 0, 255}));

  SetColor(255, 0, 0);
  auto white = LoadImage(TPixmap::Create(4, 4, PixelFormat::I8), 0);
  std::fill(white->pixmaps[0]->pixels, white->pixmaps[0]->pixels + white->pixmaps[0]->pitch * 4,
            255);
  DrawImage(white.get(), 30, 30);
  EXPECT_EQ(Pixel(31, 31), (RGB{255, 0, 0}));
}

TEST_F(GLDrawTest, GrabbedFaceDrawsMidHandledWithNoBlueAnywhere) {
  AutoMidHandle(true);
  auto face = CreateImage(90, 90, 1, 9);

  // A plain square first: the drawn image covers exactly 355..444 x 255..344.
  SetBlend(1);
  SetColor(200, 10, 10);
  DrawRect(0, 0, 90, 90);
  GrabImage(face.get(), 0, 0);
  Cls();
  SetColor(255, 255, 255);
  DrawImage(face.get(), 400, 300);
  EXPECT_EQ(Pixel(355, 255), (RGB{200, 10, 10}));
  EXPECT_EQ(Pixel(444, 344), (RGB{200, 10, 10}));
  EXPECT_EQ(Pixel(354, 300), kBlack);
  EXPECT_EQ(Pixel(445, 300), kBlack);
  EXPECT_EQ(Pixel(400, 254), kBlack);
  EXPECT_EQ(Pixel(400, 345), kBlack);

  // The face canvas: blue ground, yellow disc, eyes.
  Cls();
  DrawPrimitiveFace();
  SetMaskColor(0, 0, 255);
  GrabImage(face.get(), 0, 0);
  Cls();
  SetColor(255, 255, 255);
  DrawImage(face.get(), 400, 300);

  auto screen = gl_driver.GrabPixmap(0, 0, 800, 600);
  int blue = 0, yellow = 0;
  for (int y = 0; y < 600; ++y) {
    const uint8_t* row = screen->Row(y);
    for (int x = 0; x < 800; ++x) {
      const uint8_t* p = row + x * 4;
      blue += p[0] == 0 && p[1] == 0 && p[2] == 255;
      yellow += p[0] == 241 && p[1] == 230 && p[2] == 63;
    }
  }
  EXPECT_EQ(blue, 0);
  EXPECT_GT(yellow, 3000);
  EXPECT_EQ(Pixel(400, 300), kYellow);  // between the eyes
  EXPECT_EQ(Pixel(380, 300), kBlack);   // a pupil
  EXPECT_EQ(Pixel(367, 295), kWhite);   // an eye white
  EXPECT_EQ(Pixel(357, 257), kBlack);   // a corner outside the disc
}

// Drawn as last time, the canvas is not drawn or grabbed again, and the screen is the same to the
// bit, even with other pixels where the canvas would have been drawn.
TEST_F(GLDrawTest, AFaceCanvasDrawnAsLastTimeShowsTheSamePixels) {
  AutoMidHandle(true);
  auto face = CreateImage(90, 90, 1, 9);
  auto plain = CreateImage(90, 90, 1, 9);
  SetMaskColor(0, 0, 255);
  SetAlpha(1);
  auto frame = [&](TImage* image, int look_x, bool as_canvas) {
    SetBlend(2);
    SetColor(200, 10, 10);
    DrawRect(0, 0, 90, 90);  // what the back buffer held
    if (as_canvas) BeginCanvas();
    DrawPrimitiveFace(look_x, 0);
    GrabImage(image, 0, 0);
    Cls();
    SetColor(255, 255, 255);
    DrawImage(image, 400, 300);
    return gl_driver.GrabPixmap(0, 0, 800, 600);
  };
  auto same = [](const std::shared_ptr<TPixmap>& a, const std::shared_ptr<TPixmap>& b) {
    for (int y = 0; y < 600; ++y) {
      if (std::memcmp(a->Row(y), b->Row(y), 800 * 4) != 0) return false;
    }
    return true;
  };
  ForgetCanvases();
  auto first = frame(face.get(), 3, true);
  const uint64_t version = face->versions[0];
  auto second = frame(face.get(), 3, true);
  EXPECT_EQ(face->versions[0], version) << "drawn and grabbed again";
  EXPECT_TRUE(same(first, second));
  EXPECT_TRUE(same(first, frame(plain.get(), 3, false)));

  auto moved = frame(face.get(), -4, true);
  EXPECT_NE(face->versions[0], version);
  EXPECT_FALSE(same(first, moved));
  EXPECT_TRUE(same(moved, frame(plain.get(), -4, false)));
  ForgetCanvases();
}

}  // namespace
