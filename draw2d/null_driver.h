#pragma once
// A drawing driver that draws nothing: the play harness runs the real stage code through it at
// full speed. Its display is an 800x600-style surface of the requested size; Flip pumps input and
// charges the clock the time of a swap. The recording variant keeps every call for tests.
#include <string>
#include <vector>

#include "draw2d/quill2d_driver.h"

class TNullQuill2DDriver : public TQuill2DDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override;
  void Flip(int sync) override;

  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                     int flags) override;
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

  // Called by the frames this driver made: records "DrawImage" (x0, y0, x1, y1, tx, ty).
  void DrawFrame(float x0, float y0, float x1, float y1, float tx, float ty);

  bool CanvasGrabsCost() const override { return canvas_grabs_cost; }

  bool canvas_grabs_cost = false;  // tests of the canvas memo turn it on
  int flips = 0;
  int grabs = 0;
  int frames_created = 0;
  int images_drawn = 0;
  int width = 0;
  int height = 0;

 protected:
  // Hook for the recording driver; only called when _recording is set, so the plain null driver
  // builds no argument lists.
  virtual void Record(const std::string& /*call*/, std::vector<float> /*args*/) {}
  bool _recording = false;

 private:
  std::shared_ptr<TPixmap> _grab;  // reused while nobody else holds the last grab
};

struct DrawCall {
  std::string name;  // "SetColor", "DrawOval", "DrawImage", ...
  std::vector<float> args;
};

class TRecordingQuill2DDriver : public TNullQuill2DDriver {
 public:
  TRecordingQuill2DDriver() { _recording = true; }
  std::vector<DrawCall> calls;
  void Clear() { calls.clear(); }

 protected:
  void Record(const std::string& call, std::vector<float> args) override {
    calls.push_back({call, std::move(args)});
  }
};
