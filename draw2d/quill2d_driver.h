#pragma once
// The drawing driver interface. The OpenGL driver turns each call into fixed-function OpenGL; the
// null and recording drivers let tests and the play harness run the real drawing code fast.
// All coordinates are window pixels as 32-bit reals.
#include <memory>
#include <vector>

#include "display/graphics.h"

class TPixmap;

class TImageFrame {
 public:
  virtual ~TImageFrame() = default;
  virtual void Draw(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
};

class TQuill2DDriver : public TGraphicsDriver {
 public:
  virtual std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                             int flags) = 0;
  virtual void SetBlend(int mode) = 0;
  virtual void SetAlpha(float alpha) = 0;
  virtual void SetColor(int r, int g, int b) = 0;
  virtual void SetClsColor(int r, int g, int b) = 0;
  virtual void SetViewport(int x, int y, int w, int h) = 0;
  virtual void SetTransform(float ix, float iy, float jx, float jy) = 0;
  virtual void SetLineWidth(float width) = 0;
  virtual void Cls() = 0;
  virtual void Plot(float x, float y) = 0;
  virtual void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) = 0;
  virtual void DrawPoly(const std::vector<float>& xy, float handle_x, float handle_y, float tx,
                        float ty) = 0;
  virtual void DrawPixmap(const TPixmap& pixmap, int x, int y) = 0;
  virtual std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int w, int h) = 0;
};

// Blend modes.
struct BlendMode {
  static constexpr int Mask = 1;
  static constexpr int Solid = 2;
  static constexpr int Alpha = 3;
  static constexpr int Light = 4;
  static constexpr int Shade = 5;
};

// Number of segments DrawOval uses for a box of that size (shared by every driver).
int OvalSegments(float x0, float y0, float x1, float y1);
