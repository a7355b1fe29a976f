#pragma once
// The drawing driver over OpenGL ES 2 (WebGL 1 in a browser, OpenGL 2.0 and later on a desktop).
// It draws what the fixed-function OpenGL driver draws: one small program does flat, textured,
// alpha-tested (masked) and blended draws, with the vertices worked out on the CPU exactly as
// there, and textures laid out the same way. The face canvas is grabbed by reading the pixels
// back, which the image layer then masks and uploads, as the fixed-function driver does under a
// software renderer. The surface (a graphics driver, and the framebuffer to draw into) is the
// subclass's.
#include <cstdint>
#include <memory>

#include "draw2d/gles_api.h"
#include "draw2d/quill2d_driver.h"

class TShaderQuill2DDriver : public TQuill2DDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override;
  void Flip(int sync) override;

  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                     int flags) override;
  // Reading pixels back waits for everything drawn so far.
  bool CanvasGrabsCost() const override { return true; }
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

 protected:
  // The graphics driver that opens the surface and presents it.
  virtual TGraphicsDriver& Surface() = 0;
  // The framebuffer the game's drawing goes to (0: the surface's own).
  virtual GLuint TargetFramebuffer() const { return 0; }
};

// A frame whose pixels live in a texture of power-of-two size.
class TShaderImageFrame : public TImageFrame {
 public:
  ~TShaderImageFrame() override;
  static std::shared_ptr<TShaderImageFrame> CreateFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                             int flags);
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override;
  bool Refillable(int w, int h, int flags) const;

  float u1 = 1.0f, v1 = 1.0f;
  GLuint name = 0;
  int seq = 0;
  int _width = 0, _height = 0;
  int _tex_w = 0, _tex_h = 0;
  int _flags = 0;
};
