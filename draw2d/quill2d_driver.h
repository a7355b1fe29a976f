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
  // The frame's top-left w x h pixels as a format-6 pixmap, for frames whose pixels were put
  // there by the driver rather than from a pixmap; nullptr if the frame cannot tell.
  virtual std::shared_ptr<TPixmap> ReadPixels(int /*w*/, int /*h*/) { return nullptr; }
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

  // Whether grabbing a canvas costs enough that one drawn the same as last time should not be
  // drawn and grabbed again (see canvas_memo.h).
  virtual bool CanvasGrabsCost() const { return false; }

  // Optional fast paths; a driver without them makes the caller take the pixmap route.
  //
  // Refills `frame` in place from a pixmap of the size it was made for, keeping its texture;
  // false if it cannot (the caller then makes a new frame).
  virtual bool UpdateFrameFromPixmap(TImageFrame& /*frame*/, const TPixmap& /*pixmap*/,
                                     int /*flags*/) {
    return false;
  }
  // Grabs the w x h rectangle at (x, y) of the back buffer straight into a frame, never through
  // a pixmap: `reuse` is refilled when it fits, otherwise a new frame is made. With `mask` (an
  // r, g, b triple) pixels of that colour become transparent exactly as MaskPixmap makes them.
  // nullptr if the driver cannot, and the caller grabs a pixmap instead.
  virtual std::shared_ptr<TImageFrame> GrabFrame(const std::shared_ptr<TImageFrame>& /*reuse*/,
                                                 int /*x*/, int /*y*/, int /*w*/, int /*h*/,
                                                 int /*flags*/, const int* /*mask*/) {
    return nullptr;
  }
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
