#pragma once
// The drawing driver over fixed-function OpenGL 1.x, on top of the X11/GLX graphics driver.
// Primitives are immediate-mode begin/end pairs; state changes that would repeat the current
// OpenGL state are skipped (blend mode, colour, clear colour, line width, scissor, bound
// texture). Textures live as long as their frames and are refilled in place; where the GL has
// shaders and framebuffer objects (3.0 or later), grabs go straight into them on the GPU.
#include <cstdint>
#include <functional>
#include <memory>

#include "display/gl_graphics.h"
#include "draw2d/quill2d_driver.h"
#include "draw2d/texture_layout.h"

class TQuill2DGraphics;

class TGLQuill2DDriver : public TQuill2DDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  // Makes the GLX context current, resets the OpenGL state and makes the record current.
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override;
  void Flip(int sync) override;

  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                     int flags) override;
  // A grab stalls the frame until everything drawn so far is finished: an unchanged canvas is
  // not drawn and grabbed again, unless switched off (the frame-cost benchmark compares both).
  bool CanvasGrabsCost() const override { return canvas_memo_; }
  static void SetCanvasMemo(bool on) { canvas_memo_ = on; }
  void SetBlend(int mode) override;
  void SetAlpha(float alpha) override;
  void SetColor(int r, int g, int b) override;
  void SetClsColor(int r, int g, int b) override;
  void SetViewport(int x, int y, int w, int h) override;
  void SetTransform(float ix, float iy, float jx, float jy) override;
  void SetLineWidth(float width) override;
  void Cls() override;
  void Plot(float x, float y) override;
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
  void DrawPoly(const std::vector<float>& xy, float handle_x, float handle_y, float tx,
                float ty) override;
  void DrawPixmap(const TPixmap& pixmap, int x, int y) override;
  std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int w, int h) override;
  bool UpdateFrameFromPixmap(TImageFrame& frame, const TPixmap& pixmap, int flags) override;
  std::shared_ptr<TImageFrame> GrabFrame(const std::shared_ptr<TImageFrame>& reuse, int x, int y,
                                         int w, int h, int flags, const int* mask) override;

  // When grabs go straight into textures: kAuto where the GL allows and renders in hardware (the
  // default), kAlways where the GL allows, kNever.
  enum GPUGrabPolicy { kAuto, kAlways, kNever };
  static void SetGPUGrab(GPUGrabPolicy policy);
  // Whether GrabFrame works in the current context under the policy.
  static bool GPUGrabInUse();

  // Puts OpenGL into the state the driver assumes: nothing blended yet, no texture, a pixel
  // projection of the display's size.
  void ResetGLContext(TGraphics& graphics);

 private:
  TGLGraphicsDriver _gl;
  static inline bool canvas_memo_ = true;
};

// A frame whose pixels live in an OpenGL texture of power-of-two size.
class TGLImageFrame : public TImageFrame {
 public:
  ~TGLImageFrame() override;
  // nullptr only if the pixmap is empty; a texture size OpenGL accepts at no size ends the
  // program with "Unable to calculate tex size".
  static std::shared_ptr<TGLImageFrame> CreateFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                         int flags);
  // A w x h frame whose texels are all zero, to be grabbed into; nullptr if it would have to be
  // scaled down to fit the largest texture or is mipmapped.
  static std::shared_ptr<TGLImageFrame> CreateBlank(int w, int h, int flags);
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;
  std::shared_ptr<TPixmap> ReadPixels(int w, int h) override;
  // Whether a w x h image with `flags` can be put into this frame's texture as it is.
  bool Refillable(int w, int h, int flags) const;

  float u0 = 0.0f, v0 = 0.0f, u1 = 1.0f, v1 = 1.0f;
  uint32_t name = 0;
  int seq = 0;
  int _width = 0, _height = 0;  // the size of the image it was made for
  int _tex_w = 0, _tex_h = 0;
  int _flags = 0;  // the filter bits it was made with
};
