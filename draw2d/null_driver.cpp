// The null driver: keeps the state calls' effects out of sight, pumps input on Flip and charges
// the clock for each swap. Kept lean: the play harness pushes thousands of frames through it.
#include "draw2d/null_driver.h"

#include <cstring>

#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "system/clock.h"
#include "system/system_driver.h"

namespace {

class TNullGraphics : public TGraphics {
 public:
  TNullGraphics(TGraphicsDriver* driver, int width, int height, int hertz, int flags)
      : _driver(driver), _width(width), _height(height), _hertz(hertz), _flags(flags) {}
  TGraphicsDriver* Driver() override { return _driver; }
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = _width;
    height = _height;
    depth = 24;
    hertz = _hertz;
    flags = _flags;
  }
  void Close() override {}

 private:
  TGraphicsDriver* _driver;
  int _width, _height, _hertz, _flags;
};

class TNullImageFrame : public TImageFrame {
 public:
  explicit TNullImageFrame(TNullQuill2DDriver* driver) : _driver(driver) {}
  void Draw(float x0, float y0, float x1, float y1, float tx, float ty) override {
    _driver->DrawFrame(x0, y0, x1, y1, tx, ty);
  }

 private:
  TNullQuill2DDriver* _driver;
};

}  // namespace

std::shared_ptr<TGraphics> TNullQuill2DDriver::CreateGraphics(int w, int h, int /*depth*/,
                                                              int hertz, int flags) {
  if (_recording) Record("CreateGraphics", {float(w), float(h), float(hertz), float(flags)});
  auto graphics = std::make_shared<TNullGraphics>(this, w, h, hertz, flags);
  return NewRenderState(graphics, this);
}

void TNullQuill2DDriver::SetGraphics(std::shared_ptr<TGraphics> graphics) {
  if (_recording) Record("SetGraphics", {graphics ? 1.0f : 0.0f});
  auto record = std::dynamic_pointer_cast<TQuill2DGraphics>(graphics);
  if (!record) {
    ClearCurrentRenderState();
    width = height = 0;
    return;
  }
  int depth = 0, hertz = 0, flags = 0;
  record->GetSettings(width, height, depth, hertz, flags);
  MakeCurrent(record);
}

void TNullQuill2DDriver::Flip(int sync) {
  ++flips;
  if (_recording) Record("Flip", {float(sync)});
  CurrentClock().OnBufferSwap(sync);
  PollSystem();
}

std::shared_ptr<TImageFrame> TNullQuill2DDriver::CreateFrameFromPixmap(
    std::shared_ptr<TPixmap> pixmap, int flags) {
  ++frames_created;
  if (_recording) {
    Record("CreateFrameFromPixmap",
           {float(pixmap ? pixmap->width : 0), float(pixmap ? pixmap->height : 0), float(flags)});
  }
  return std::make_shared<TNullImageFrame>(this);
}

void TNullQuill2DDriver::DrawFrame(float x0, float y0, float x1, float y1, float tx, float ty) {
  ++images_drawn;
  if (_recording) Record("DrawImage", {x0, y0, x1, y1, tx, ty});
}

void TNullQuill2DDriver::SetBlend(int mode) {
  if (_recording) Record("SetBlend", {float(mode)});
}

void TNullQuill2DDriver::SetAlpha(float alpha) {
  if (_recording) Record("SetAlpha", {alpha});
}

void TNullQuill2DDriver::SetColor(int r, int g, int b) {
  if (_recording) Record("SetColor", {float(r), float(g), float(b)});
}

void TNullQuill2DDriver::SetClsColor(int r, int g, int b) {
  if (_recording) Record("SetClsColor", {float(r), float(g), float(b)});
}

void TNullQuill2DDriver::SetViewport(int x, int y, int w, int h) {
  if (_recording) Record("SetViewport", {float(x), float(y), float(w), float(h)});
}

void TNullQuill2DDriver::SetTransform(float ix, float iy, float jx, float jy) {
  if (_recording) Record("SetTransform", {ix, iy, jx, jy});
}

void TNullQuill2DDriver::SetLineWidth(float w) {
  if (_recording) Record("SetLineWidth", {w});
}

void TNullQuill2DDriver::Cls() {
  if (_recording) Record("Cls", {});
}

void TNullQuill2DDriver::Plot(float x, float y) {
  if (_recording) Record("Plot", {x, y});
}

void TNullQuill2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (_recording) Record("DrawLine", {x0, y0, x1, y1, tx, ty});
}

void TNullQuill2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (_recording) Record("DrawRect", {x0, y0, x1, y1, tx, ty});
}

void TNullQuill2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (_recording) Record("DrawOval", {x0, y0, x1, y1, tx, ty});
}

void TNullQuill2DDriver::DrawPoly(const std::vector<float>& xy, float handle_x, float handle_y,
                                  float tx, float ty) {
  if (!_recording) return;
  std::vector<float> args{handle_x, handle_y, tx, ty};
  args.insert(args.end(), xy.begin(), xy.end());
  Record("DrawPoly", std::move(args));
}

void TNullQuill2DDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  if (_recording) {
    Record("DrawPixmap", {float(pixmap.width), float(pixmap.height), float(x), float(y)});
  }
}

std::shared_ptr<TPixmap> TNullQuill2DDriver::GrabPixmap(int x, int y, int w, int h) {
  ++grabs;
  if (_recording) Record("GrabPixmap", {float(x), float(y), float(w), float(h)});
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  // The face is grabbed every frame and usually masked into a new pixmap at once, so the last
  // grab is free again by the next one: reuse it rather than allocate.
  if (_grab && _grab.use_count() == 1 && _grab->width == w && _grab->height == h &&
      _grab->format == PixelFormat::RGBA8888) {
    if (_grab->pixels) std::memset(_grab->pixels, 0, static_cast<size_t>(_grab->pitch) * h);
    return _grab;
  }
  _grab = TPixmap::Create(w, h, PixelFormat::RGBA8888);
  return _grab;
}
