// The render-state front end: every call updates the current record and forwards to its driver.
#include "draw2d/render_state.h"

#include <cmath>

#include "draw2d/draw_digest.h"
#include "system/numeric.h"

namespace {
std::shared_ptr<TQuill2DGraphics> current_record;
TQuill2DDriver* current_driver = nullptr;

// Rotation and scale both feed the 2x2 matrix; it is rebuilt after either changes.
void UpdateTransform(TQuill2DGraphics& r) {
  // Worked out in double precision; only the stored entries are 32-bit.
  const double s = Sin(r.tform_rot);
  const double c = Cos(r.tform_rot);
  r.tform_ix = static_cast<float>(c * r.tform_scale_x);
  r.tform_iy = static_cast<float>(-s * r.tform_scale_y);
  r.tform_jx = static_cast<float>(s * r.tform_scale_x);
  r.tform_jy = static_cast<float>(c * r.tform_scale_y);
  // The current driver, not the record's own: an open canvas notes the change in its place.
  current_driver->SetTransform(r.tform_ix, r.tform_iy, r.tform_jx, r.tform_jy);
}

void Validate(TQuill2DGraphics& r) {
  SetBlend(r.blend_mode);
  SetColor(r.color_red, r.color_green, r.color_blue);
  SetAlpha(r.color_alpha);
  SetClsColor(r.clscolor_red, r.clscolor_green, r.clscolor_blue);
  SetLineWidth(r.line_width);
  SetRotation(r.tform_rot);
  SetScale(r.tform_scale_x, r.tform_scale_y);
  SetViewport(r.viewport_x, r.viewport_y, r.viewport_w, r.viewport_h);
  SetOrigin(r.origin_x, r.origin_y);
  SetHandle(-r.handle_x, -r.handle_y);
}
}  // namespace

void TQuill2DGraphics::GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) {
  if (_graphics) {
    _graphics->GetSettings(width, height, depth, hertz, flags);
  } else {
    width = height = depth = hertz = flags = 0;
  }
}

void TQuill2DGraphics::Close() {
  if (current_record.get() == this) ClearCurrentRenderState();
  if (_graphics) _graphics->Close();
}

std::shared_ptr<TQuill2DGraphics> NewRenderState(std::shared_ptr<TGraphics> graphics,
                                                 TQuill2DDriver* driver) {
  auto record = std::make_shared<TQuill2DGraphics>(std::move(graphics), driver);
  int w = 0, h = 0, depth = 0, hertz = 0, flags = 0;
  record->GetSettings(w, h, depth, hertz, flags);
  record->viewport_w = w;
  record->viewport_h = h;
  return record;
}

void MakeCurrent(std::shared_ptr<TQuill2DGraphics> record) {
  current_record = std::move(record);
  current_driver = current_record ? current_record->_driver : nullptr;
  if (!current_record) return;
  Validate(*current_record);
  if (current_record->_setup == 0) {
    // Clear both buffers so the first frame starts from black whichever buffer shows.
    Cls();
    Flip(0);
    Cls();
    Flip(0);
    current_record->_setup = 1;
  }
}

void ResetRenderState() {
  if (!current_record) return;
  TQuill2DGraphics& r = *current_record;
  r = *NewRenderState(r._graphics, r._driver);
  MakeCurrent(current_record);
}

TQuill2DGraphics* CurrentRenderState() { return current_record.get(); }
TQuill2DDriver* CurrentDrawDriver() { return current_driver; }

TQuill2DDriver* ReplaceCurrentDrawDriver(TQuill2DDriver* driver) {
  TQuill2DDriver* previous = current_driver;
  current_driver = driver;
  return previous;
}

void ClearCurrentRenderState() {
  current_record.reset();
  current_driver = nullptr;
}

void SetColor(int r, int g, int b) {
  DigestDrawCall(DrawOp::kColor, {double(r), double(g), double(b)});
  if (!current_record) return;
  current_record->color_red = r;
  current_record->color_green = g;
  current_record->color_blue = b;
  current_driver->SetColor(r, g, b);
}

void SetAlpha(float alpha) {
  DigestDrawCall(DrawOp::kAlpha, {alpha});
  if (!current_record) return;
  current_record->color_alpha = alpha;
  current_driver->SetAlpha(alpha);
}

void SetBlend(int mode) {
  DigestDrawCall(DrawOp::kBlend, {double(mode)});
  if (!current_record) return;
  current_record->blend_mode = mode;
  current_driver->SetBlend(mode);
}

void SetClsColor(int r, int g, int b) {
  DigestDrawCall(DrawOp::kClsColor, {double(r), double(g), double(b)});
  if (!current_record) return;
  current_record->clscolor_red = r;
  current_record->clscolor_green = g;
  current_record->clscolor_blue = b;
  current_driver->SetClsColor(r, g, b);
}

void SetLineWidth(float width) {
  DigestDrawCall(DrawOp::kLineWidth, {width});
  if (!current_record) return;
  current_record->line_width = width;
  current_driver->SetLineWidth(width);
}

void SetViewport(int x, int y, int w, int h) {
  DigestDrawCall(DrawOp::kViewport, {double(x), double(y), double(w), double(h)});
  if (!current_record) return;
  current_record->viewport_x = x;
  current_record->viewport_y = y;
  current_record->viewport_w = w;
  current_record->viewport_h = h;
  current_driver->SetViewport(x, y, w, h);
}

void SetOrigin(float x, float y) {
  DigestDrawCall(DrawOp::kOrigin, {x, y});
  if (!current_record) return;
  current_record->origin_x = x;
  current_record->origin_y = y;
}

void SetHandle(float x, float y) {
  DigestDrawCall(DrawOp::kHandle, {x, y});
  if (!current_record) return;
  current_record->handle_x = -x;
  current_record->handle_y = -y;
}

void SetRotation(float degrees) {
  DigestDrawCall(DrawOp::kRotation, {degrees});
  if (!current_record) return;
  current_record->tform_rot = degrees;
  UpdateTransform(*current_record);
}

void SetScale(float sx, float sy) {
  DigestDrawCall(DrawOp::kScale, {sx, sy});
  if (!current_record) return;
  current_record->tform_scale_x = sx;
  current_record->tform_scale_y = sy;
  UpdateTransform(*current_record);
}

void GetColor(int& r, int& g, int& b) {
  if (!current_record) {
    r = g = b = 0;
    return;
  }
  r = current_record->color_red;
  g = current_record->color_green;
  b = current_record->color_blue;
}

float GetAlpha() { return current_record ? current_record->color_alpha : 0.0f; }
int GetBlend() { return current_record ? current_record->blend_mode : 0; }
float GetRotation() { return current_record ? current_record->tform_rot : 0.0f; }

void GetScale(float& sx, float& sy) {
  sx = current_record ? current_record->tform_scale_x : 0.0f;
  sy = current_record ? current_record->tform_scale_y : 0.0f;
}

void GetHandle(float& x, float& y) {
  x = current_record ? -current_record->handle_x : 0.0f;
  y = current_record ? -current_record->handle_y : 0.0f;
}

void GetOrigin(float& x, float& y) {
  x = current_record ? current_record->origin_x : 0.0f;
  y = current_record ? current_record->origin_y : 0.0f;
}

void Cls() {
  DigestDrawCall(DrawOp::kCls, {});
  if (current_driver) current_driver->Cls();
}

void Plot(float x, float y) {
  DigestDrawCall(DrawOp::kPlot, {x, y});
  if (!current_record) return;
  current_driver->Plot(x + current_record->origin_x, y + current_record->origin_y);
}

void DrawRect(float x, float y, float w, float h) {
  DigestDrawCall(DrawOp::kRect, {x, y, w, h});
  if (!current_record) return;
  const TQuill2DGraphics& r = *current_record;
  current_driver->DrawRect(r.handle_x, r.handle_y, r.handle_x + w, r.handle_y + h, x + r.origin_x,
                           y + r.origin_y);
}

void DrawOval(float x, float y, float w, float h) {
  DigestDrawCall(DrawOp::kOval, {x, y, w, h});
  if (!current_record) return;
  const TQuill2DGraphics& r = *current_record;
  current_driver->DrawOval(r.handle_x, r.handle_y, r.handle_x + w, r.handle_y + h, x + r.origin_x,
                           y + r.origin_y);
}

void DrawLine(float x0, float y0, float x1, float y1, int last_pixel) {
  DigestDrawCall(DrawOp::kLine, {x0, y0, x1, y1, double(last_pixel)});
  if (!current_record) return;
  const TQuill2DGraphics& r = *current_record;
  current_driver->DrawLine(r.handle_x, r.handle_y, r.handle_x + x1 - x0, r.handle_y + y1 - y0,
                           x0 + r.origin_x, y0 + r.origin_y);
  if (last_pixel != 0) {
    // The line's own rasterisation may leave its end point dark; light it explicitly.
    const double u = double{x1} + r.handle_x - x0;
    const double v = double{y1} + r.handle_y - y0;
    current_driver->Plot(static_cast<float>(x0 + (u * r.tform_ix + v * r.tform_iy) + r.origin_x),
                         static_cast<float>(y0 + (u * r.tform_jx + v * r.tform_jy) + r.origin_y));
  }
}

int OvalSegments(float x0, float y0, float x1, float y1) {
  float xr = (x1 - x0) * 0.5f;
  float yr = (y1 - y0) * 0.5f;
  int segments = TruncToInt(std::fabs(xr) + std::fabs(yr));
  if (segments < 12) segments = 12;
  return segments & ~3;
}
