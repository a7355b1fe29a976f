#pragma once
// The current render state and the primitives. Every operation acts on the record made current
// when the display opened and forwards to that record's driver. Nothing resets the state between
// frames, so every scene sets what it needs before drawing.
#include <memory>

#include "display/graphics.h"
#include "draw2d/quill2d_driver.h"

class TQuill2DGraphics : public TGraphics {
 public:
  TQuill2DGraphics(std::shared_ptr<TGraphics> graphics, TQuill2DDriver* driver)
      : _graphics(std::move(graphics)), _driver(driver) {}

  TGraphicsDriver* Driver() override { return _driver; }
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override;
  void Close() override;

  int color_red = 255, color_green = 255, color_blue = 255;
  float color_alpha = 1.0f;
  int clscolor_red = 0, clscolor_green = 0, clscolor_blue = 0;
  float line_width = 1.0f;
  float tform_rot = 0.0f;
  float tform_scale_x = 1.0f, tform_scale_y = 1.0f;
  float tform_ix = 1.0f, tform_iy = 0.0f, tform_jx = 0.0f, tform_jy = 1.0f;
  int viewport_x = 0, viewport_y = 0, viewport_w = 0, viewport_h = 0;
  float origin_x = 0.0f, origin_y = 0.0f;
  float handle_x = 0.0f, handle_y = 0.0f;  // stored negated
  int blend_mode = 1;
  std::shared_ptr<TGraphics> _graphics;  // the display this record draws on
  TQuill2DDriver* _driver;
  int _setup = 0;
};

// A record for a newly opened display: the default state, the viewport covering the display.
std::shared_ptr<TQuill2DGraphics> NewRenderState(std::shared_ptr<TGraphics> graphics,
                                                 TQuill2DDriver* driver);

// Makes the record current and re-sends its whole state to its driver; the first time, it also
// clears both buffers (Cls, Flip(0), Cls, Flip(0)).
void MakeCurrent(std::shared_ptr<TQuill2DGraphics> record);
// Puts the current record back to the state of a newly opened display, and clears both buffers
// as opening does: a story started again on the same display draws exactly as the first did.
void ResetRenderState();
TQuill2DGraphics* CurrentRenderState();  // nullptr while no display is open
TQuill2DDriver* CurrentDrawDriver();
// Puts `driver` where the current record's driver was for the calls that follow (an open canvas
// notes calls this way); returns the driver it replaced.
TQuill2DDriver* ReplaceCurrentDrawDriver(TQuill2DDriver* driver);
void ClearCurrentRenderState();

void SetColor(int r, int g, int b);
void SetAlpha(float alpha);
void SetBlend(int mode);
void SetClsColor(int r, int g, int b);
void SetLineWidth(float width);
void SetViewport(int x, int y, int w, int h);
void SetOrigin(float x, float y);
void SetHandle(float x, float y);
void SetRotation(float degrees);
void SetScale(float sx, float sy);
void GetColor(int& r, int& g, int& b);
float GetAlpha();
int GetBlend();
float GetRotation();
void GetScale(float& sx, float& sy);
void GetHandle(float& x, float& y);
void GetOrigin(float& x, float& y);

void Cls();
void Plot(float x, float y);
void DrawRect(float x, float y, float w, float h);
void DrawLine(float x0, float y0, float x1, float y1, int last_pixel = 1);
void DrawOval(float x, float y, float w, float h);
