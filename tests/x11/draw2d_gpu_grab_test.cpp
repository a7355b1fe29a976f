// Grabs straight into textures on a real X server (Xorg, dummy video driver, Mesa): the texels
// the GPU pass writes must be exactly those of the pixmap route, whatever is drawn with them;
// textures live as long as their images; and the driver skips OpenGL calls that would set what
// is set already.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "display/graphics.h"
#include "draw2d/gl_canvas_grab.h"
#include "draw2d/gl_quill2d_driver.h"
#include "draw2d/image.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "system/system_driver.h"
#include "system/x11_system_driver.h"
#include "tests/support/face_canvas.h"
#include "tests/support/gl_display_environment.h"

namespace {

// The grab policy goes back to its default before the display closes.
class GLEnvironment : public GLDisplayEnvironment {
 public:
  void TearDown() override {
    TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAuto);
    GLDisplayEnvironment::TearDown();
  }
};
const auto* const environment = ::testing::AddGlobalTestEnvironment(new GLEnvironment);
TGLQuill2DDriver& gl_driver = EnvironmentGLDriver();

TGLImageFrame* GLFrame(TImage& image) {
  return dynamic_cast<TGLImageFrame*>(image.frames[0].get());
}

// Every texel of the frame's texture, padding included.
std::vector<uint8_t> Texels(TImage& image) {
  TGLImageFrame* f = GLFrame(image);
  if (f == nullptr) return {};
  std::vector<uint8_t> texels(static_cast<size_t>(f->_tex_w) * f->_tex_h * 4);
  glBindTexture(GL_TEXTURE_2D, f->name);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  gl_driver.ResetGLContext(*CurrentRenderState());  // the binding changed behind its back
  return texels;
}

class GPUGrabTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(CurrentRenderState(), nullptr);
    TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAlways);
    ASSERT_TRUE(TGLQuill2DDriver::GPUGrabInUse()) << "the dummy server's Mesa has GL 3.0 or later";
    SetViewport(0, 0, 800, 600);
    SetBlend(2);
    SetColor(255, 255, 255);
    SetAlpha(1);
    SetRotation(0);
    SetScale(1, 1);
    SetMaskColor(0, 0, 0);
    AutoMidHandle(true);
    Cls();
  }
  void TearDown() override { TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAuto); }

  // Grabs the same back buffer into two images, once on the GPU and once through a pixmap, and
  // makes both textures.
  void GrabBothWays(int x, int y, int w, int h, int flags, std::shared_ptr<TImage>& gpu,
                    std::shared_ptr<TImage>& cpu) {
    gpu = CreateImage(w, h, 1, flags);
    cpu = CreateImage(w, h, 1, flags);
    TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAlways);
    GrabImage(gpu.get(), x, y);
    ASSERT_TRUE(gpu->_pixels_in_frame[0]) << "the grab did not go straight into the texture";
    TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kNever);
    GrabImage(cpu.get(), x, y);
    ASSERT_FALSE(cpu->_pixels_in_frame[0]);
    ASSERT_TRUE(cpu->Frame(0));
    TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAlways);
  }

  static std::shared_ptr<TPixmap> Screen() { return gl_driver.GrabPixmap(0, 0, 800, 600); }
};

// Sharp edges of every kind: the face, blue touching the image's border, a pixel one step off
// the mask colour, and colours whose neighbours' average does not divide evenly.
void DrawAwkwardCanvas() {
  DrawPrimitiveFace(3, -2);
  SetBlend(2);
  SetColor(0, 0, 254);
  DrawRect(60, 2, 3, 3);
  SetColor(17, 200, 3);
  DrawRect(0, 40, 2, 7);
  SetColor(250, 1, 99);
  DrawRect(88, 80, 2, 2);
  SetColor(0, 0, 255);
  DrawRect(1, 86, 3, 4);
  SetBlend(3);
  SetAlpha(0.3f);
  SetColor(255, 255, 255);
  DrawOval(40, 40, 30, 20);
  SetAlpha(1);
}

TEST_F(GPUGrabTest, TexelsMatchThePixmapRouteByteForByte) {
  struct Case {
    int x, y, w, h, flags;
    int mask[3];
  };
  const Case cases[] = {
      {0, 0, 90, 90, 9, {0, 0, 255}},     // the face canvas as the game grabs it
      {0, 0, 90, 90, 11, {0, 0, 255}},    // filtered: the padding feeds the filter
      {0, 0, 90, 90, 8, {0, 0, 255}},     // unmasked: the pixels as read
      {13, 21, 7, 5, 9, {241, 230, 63}},  // off the corner, odd sizes, another key
      {0, 0, 64, 64, 9, {0, 0, 255}},     // a power of two: no padding
      {2, 2, 30, 30, 9, {0, 0, 255}},     // the closed-eye image's size
      {0, 0, 90, 90, 9, {300, 0, 255}},   // a key no pixel can have
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("grab " + std::to_string(c.w) + "x" + std::to_string(c.h) + " at " +
                 std::to_string(c.x) + "," + std::to_string(c.y) + " flags " +
                 std::to_string(c.flags));
    Cls();
    DrawAwkwardCanvas();
    SetMaskColor(c.mask[0], c.mask[1], c.mask[2]);
    std::shared_ptr<TImage> gpu, cpu;
    GrabBothWays(c.x, c.y, c.w, c.h, c.flags, gpu, cpu);
    const auto gpu_texels = Texels(*gpu);
    const auto cpu_texels = Texels(*cpu);
    ASSERT_FALSE(gpu_texels.empty());
    ASSERT_EQ(gpu_texels.size(), cpu_texels.size());
    size_t differing = 0, first = 0;
    for (size_t i = gpu_texels.size(); i-- > 0;) {
      if (gpu_texels[i] != cpu_texels[i]) ++differing, first = i;
    }
    EXPECT_EQ(differing, 0u) << "first at texel " << first / 4 % GLFrame(*gpu)->_tex_w << ","
                             << first / 4 / GLFrame(*gpu)->_tex_w;
    EXPECT_EQ(GLFrame(*gpu)->u1, GLFrame(*cpu)->u1);
    EXPECT_EQ(GLFrame(*gpu)->v1, GLFrame(*cpu)->v1);

    // Whoever locks the grabbed image gets the pixmap the other route made.
    auto pixels = gpu->Lock(0, true, false);
    const TPixmap& expected = *cpu->pixmaps[0];
    ASSERT_TRUE(pixels);
    ASSERT_EQ(pixels->width, expected.width);
    for (int y = 0; y < expected.height; ++y) {
      ASSERT_EQ(std::memcmp(pixels->Row(y), expected.Row(y), expected.width * 4u), 0)
          << "row " << y;
    }
    EXPECT_FALSE(gpu->_pixels_in_frame[0]);
  }
}

TEST_F(GPUGrabTest, GrabbedFaceLooksTheSameUnderEveryBlendModeTurnAndScissor) {
  Cls();
  DrawAwkwardCanvas();
  SetMaskColor(0, 0, 255);
  std::shared_ptr<TImage> gpu, cpu;
  GrabBothWays(0, 0, 90, 90, 9, gpu, cpu);
  for (int blend = 1; blend <= 5; ++blend) {
    SCOPED_TRACE("blend mode " + std::to_string(blend));
    std::shared_ptr<TPixmap> screens[2];
    for (int way = 0; way < 2; ++way) {
      SetViewport(0, 0, 800, 600);
      SetClsColor(30, 60, 90);
      Cls();
      SetClsColor(0, 0, 0);
      SetBlend(blend);
      SetColor(255, 200, 100);
      SetAlpha(0.7f);
      TImage* image = way == 0 ? gpu.get() : cpu.get();
      DrawImage(image, 400, 300);
      SetRotation(33);
      SetScale(1.7f, 0.6f);
      DrawImage(image, 200, 150);
      SetRotation(0);
      SetScale(1, 1);
      SetViewport(500, 100, 60, 70);  // a scissor cuts this one
      DrawImage(image, 520, 130);
      screens[way] = Screen();
    }
    SetViewport(0, 0, 800, 600);
    SetAlpha(1);
    ASSERT_TRUE(screens[0] && screens[1]);
    int differing = 0;
    for (int y = 0; y < 600; ++y) {
      differing += std::memcmp(screens[0]->Row(y), screens[1]->Row(y), 800 * 4) != 0;
    }
    EXPECT_EQ(differing, 0) << "rows differ";
  }
}

TEST_F(GPUGrabTest, AGrabLeavesTheRenderStateAsItFoundIt) {
  // Scissor, mask blend and a colour in force across the grab; drawing afterwards must be as if
  // the grab had gone through a pixmap.
  std::shared_ptr<TPixmap> screens[2];
  for (int way = 0; way < 2; ++way) {
    TGLQuill2DDriver::SetGPUGrab(way == 0 ? TGLQuill2DDriver::kAlways : TGLQuill2DDriver::kNever);
    SetViewport(0, 0, 800, 600);
    Cls();
    DrawPrimitiveFace();
    SetViewport(100, 100, 300, 200);
    SetBlend(1);
    SetColor(10, 220, 30);
    SetAlpha(0.51f);
    auto face = CreateImage(90, 90, 1, 9);
    SetMaskColor(0, 0, 255);
    GrabImage(face.get(), 0, 0);
    DrawRect(50, 50, 400, 400);  // clipped to the scissor box
    SetAlpha(0.5f);
    DrawRect(0, 350, 800, 10);  // fails the mask test: nothing
    SetAlpha(1);
    SetColor(255, 255, 255);
    DrawImage(face.get(), 150, 150);
    screens[way] = Screen();
    EXPECT_EQ(GetBlend(), 1);
  }
  SetViewport(0, 0, 800, 600);
  for (int y = 0; y < 600; ++y) {
    ASSERT_EQ(std::memcmp(screens[0]->Row(y), screens[1]->Row(y), 800 * 4), 0) << "row " << y;
  }
  // The scissored rectangle really is there, and nothing outside the box.
  uint8_t rgba[4];
  screens[0]->GetRGBA(390, 290, rgba);
  EXPECT_EQ((std::vector<int>{rgba[0], rgba[1], rgba[2]}), (std::vector<int>{10, 220, 30}));
  screens[0]->GetRGBA(410, 290, rgba);
  EXPECT_EQ((std::vector<int>{rgba[0], rgba[1], rgba[2]}), (std::vector<int>{0, 0, 0}));
}

TEST_F(GPUGrabTest, ATextureLivesAsLongAsItsImage) {
  for (auto policy : {TGLQuill2DDriver::kAlways, TGLQuill2DDriver::kNever}) {
    SCOPED_TRACE(policy == TGLQuill2DDriver::kAlways ? "on the GPU" : "through a pixmap");
    TGLQuill2DDriver::SetGPUGrab(policy);
    auto face = CreateImage(90, 90, 1, 9);
    SetMaskColor(0, 0, 255);
    Cls();
    DrawPrimitiveFace();
    GrabImage(face.get(), 0, 0);
    DrawImage(face.get(), 400, 300);
    ASSERT_NE(GLFrame(*face), nullptr);
    const GLuint name = GLFrame(*face)->name;
    const auto first = Texels(*face);

    Cls();
    SetBlend(2);
    SetColor(200, 10, 10);
    DrawRect(0, 0, 90, 90);
    GrabImage(face.get(), 0, 0);
    DrawImage(face.get(), 400, 300);
    EXPECT_EQ(GLFrame(*face)->name, name) << "a new texture for the second grab";
    const auto second = Texels(*face);
    EXPECT_NE(first, second) << "the second grab did not reach the texture";
    EXPECT_EQ(second[0], 200);  // texel (0, 0): the red square
    EXPECT_EQ(second[3], 255);

    // A pixmap of the same size refills the same texture too; another size needs a new one.
    face->SetPixmap(0, TPixmap::Create(90, 90, PixelFormat::RGBA8888));
    DrawImage(face.get(), 400, 300);
    EXPECT_EQ(GLFrame(*face)->name, name);
    EXPECT_EQ(Texels(*face)[0], 0);
    face->SetPixmap(0, TPixmap::Create(40, 40, PixelFormat::RGBA8888));
    DrawImage(face.get(), 400, 300);
    EXPECT_FALSE(glIsTexture(name)) << "the old texture outlived its frame";
  }
}

TEST(GPUGrabPolicyTest, SoftwareRenderersKeepThePixmapRouteUnlessTold) {
  ASSERT_NE(CurrentRenderState(), nullptr);
  // The dummy server renders with llvmpipe: reading 90x90 pixels back is cheaper there.
  EXPECT_TRUE(RendererIsSoftware());
  TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAuto);
  EXPECT_FALSE(TGLQuill2DDriver::GPUGrabInUse());
  auto face = CreateImage(90, 90, 1, 9);
  GrabImage(face.get(), 0, 0);
  EXPECT_FALSE(face->_pixels_in_frame[0]);
  TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAlways);
  EXPECT_TRUE(TGLQuill2DDriver::GPUGrabInUse());
  TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kNever);
  EXPECT_FALSE(TGLQuill2DDriver::GPUGrabInUse());
  TGLQuill2DDriver::SetGPUGrab(TGLQuill2DDriver::kAuto);
}

TEST(GLStateTest, SettingWhatIsSetAlreadyMakesNoOpenGLCall) {
  ASSERT_NE(CurrentRenderState(), nullptr);
  auto current_colour = [] {
    GLfloat c[4];
    glGetFloatv(GL_CURRENT_COLOR, c);
    return std::vector<int>{int(c[0] * 255 + 0.5f), int(c[1] * 255 + 0.5f), int(c[2] * 255 + 0.5f),
                            int(c[3] * 255 + 0.5f)};
  };
  SetColor(10, 20, 30);
  SetAlpha(1);
  glColor4ub(1, 2, 3, 4);  // behind the driver's back: a repeated SetColor would undo it
  SetColor(10, 20, 30);
  SetAlpha(1);
  EXPECT_EQ(current_colour(), (std::vector<int>{1, 2, 3, 4}));
  SetAlpha(0.5f);  // a change is sent whole
  EXPECT_EQ(current_colour(), (std::vector<int>{10, 20, 30, 127}));

  SetViewport(10, 10, 20, 20);
  glDisable(GL_SCISSOR_TEST);
  SetViewport(10, 10, 20, 20);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));
  glEnable(GL_SCISSOR_TEST);    // back as the driver knows it
  SetViewport(10, 10, 30, 20);  // another box is set
  GLint box[4];
  glGetIntegerv(GL_SCISSOR_BOX, box);
  EXPECT_EQ((std::vector<int>{box[0], box[1], box[2], box[3]}),
            (std::vector<int>{10, 570, 30, 20}));
  SetViewport(0, 0, 800, 600);
  EXPECT_FALSE(glIsEnabled(GL_SCISSOR_TEST));

  SetClsColor(0, 0, 0);
  glClearColor(1, 1, 1, 1);
  SetClsColor(0, 0, 0);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 1.0f);

  // A context reset forgets everything: the next calls reach OpenGL.
  gl_driver.ResetGLContext(*CurrentRenderState());
  SetColor(10, 20, 30);
  SetClsColor(0, 0, 0);
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  EXPECT_EQ(clear[0], 0.0f);
  EXPECT_EQ(current_colour(), (std::vector<int>{10, 20, 30, 127}));
  SetAlpha(1);
}

}  // namespace
