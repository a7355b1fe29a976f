// Canvases drawn the same as last time are not drawn and grabbed again.
#include "draw2d/canvas_memo.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <vector>

#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"

namespace {

enum class Op : uint8_t {
  kBlend, kAlpha, kColor, kClsColor, kViewport, kTransform, kLineWidth,  // state
  kCls, kPlot, kLine, kRect, kOval, kPoly, kImage,                        // drawing
};

bool IsDrawing(Op op) { return op >= Op::kCls; }

// The render state a drawing call is made in.
struct DrawState {
  int blend = 0;
  int color[3] = {};
  float alpha = 0.0f;
  int cls_color[3] = {};
  float line_width = 0.0f;
  float tform[4] = {};
  int viewport[4] = {};

  static DrawState Of(const TQuill2DGraphics& r) {
    DrawState s;
    s.blend = r.blend_mode;
    s.color[0] = r.color_red, s.color[1] = r.color_green, s.color[2] = r.color_blue;
    s.alpha = r.color_alpha;
    s.cls_color[0] = r.clscolor_red, s.cls_color[1] = r.clscolor_green;
    s.cls_color[2] = r.clscolor_blue;
    s.line_width = r.line_width;
    s.tform[0] = r.tform_ix, s.tform[1] = r.tform_iy, s.tform[2] = r.tform_jx;
    s.tform[3] = r.tform_jy;
    s.viewport[0] = r.viewport_x, s.viewport[1] = r.viewport_y;
    s.viewport[2] = r.viewport_w, s.viewport[3] = r.viewport_h;
    return s;
  }
  bool operator==(const DrawState& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

struct Call {
  Op op = Op::kCls;
  float f[6] = {};
  int i[4] = {};
  std::vector<float> poly;
  // kImage: the frame drawn, held weakly once kept; identity and version say what it showed.
  std::weak_ptr<TImageFrame> texture;
  const TImageFrame* texture_id = nullptr;
  const TImage* image = nullptr;
  uint64_t image_version = 0;
  DrawState state;  // drawing calls: the state in force

  bool operator==(const Call& o) const {
    // Reals compare bit for bit: a canvas is the same only if every argument is.
    return op == o.op && std::memcmp(f, o.f, sizeof f) == 0 && std::memcmp(i, o.i, sizeof i) == 0 &&
           poly.size() == o.poly.size() &&
           (poly.empty() || std::memcmp(poly.data(), o.poly.data(), poly.size() * sizeof(float)) == 0) &&
           texture_id == o.texture_id && image == o.image && image_version == o.image_version &&
           state == o.state && (op != Op::kImage || !o.texture.expired());
  }
};

// Everything that decides what a grab puts into an image frame.
// Only the drawing calls and the state each is made in count: state set and set again in
// between, or left over from whatever was drawn before the canvas, makes no difference.
struct Canvas {
  std::vector<Call> calls;
  int rect[4] = {};  // x, y, w, h grabbed
  int mask[3] = {-1, -1, -1};
  int image_flags = 0;
  int display = 0;

  bool SameAs(const Canvas& o) const {
    if (std::memcmp(rect, o.rect, sizeof rect) != 0 || std::memcmp(mask, o.mask, sizeof mask) != 0 ||
        image_flags != o.image_flags || display != o.display) {
      return false;
    }
    auto a = calls.begin(), b = o.calls.begin();
    for (;;) {
      while (a != calls.end() && !IsDrawing(a->op)) ++a;
      while (b != o.calls.end() && !IsDrawing(b->op)) ++b;
      if (a == calls.end() || b == o.calls.end()) return a == calls.end() && b == o.calls.end();
      if (!(*a == *b)) return false;
      ++a, ++b;
    }
  }
};

struct Kept {
  const TImage* image = nullptr;
  int frame = 0;
  uint64_t version = 0;  // the image frame's version right after the grab
  Canvas canvas;
};

void Replay(TQuill2DDriver& d, const std::vector<Call>& calls, bool state_only) {
  for (const Call& c : calls) {
    if (state_only && IsDrawing(c.op)) continue;
    const float* f = c.f;
    switch (c.op) {
      case Op::kBlend: d.SetBlend(c.i[0]); break;
      case Op::kAlpha: d.SetAlpha(f[0]); break;
      case Op::kColor: d.SetColor(c.i[0], c.i[1], c.i[2]); break;
      case Op::kClsColor: d.SetClsColor(c.i[0], c.i[1], c.i[2]); break;
      case Op::kViewport: d.SetViewport(c.i[0], c.i[1], c.i[2], c.i[3]); break;
      case Op::kTransform: d.SetTransform(f[0], f[1], f[2], f[3]); break;
      case Op::kLineWidth: d.SetLineWidth(f[0]); break;
      case Op::kCls: d.Cls(); break;
      case Op::kPlot: d.Plot(f[0], f[1]); break;
      case Op::kLine: d.DrawLine(f[0], f[1], f[2], f[3], f[4], f[5]); break;
      case Op::kRect: d.DrawRect(f[0], f[1], f[2], f[3], f[4], f[5]); break;
      case Op::kOval: d.DrawOval(f[0], f[1], f[2], f[3], f[4], f[5]); break;
      case Op::kPoly: d.DrawPoly(c.poly, f[0], f[1], f[2], f[3]); break;
      case Op::kImage:
        if (auto t = c.texture.lock()) t->Draw(f[0], f[1], f[2], f[3], f[4], f[5]);
        break;
    }
  }
}

bool Integral(float v) { return std::floor(v) == v; }

bool Contains(const int (&outer)[4], const int (&inner)[4]) {
  return outer[0] <= inner[0] && outer[1] <= inner[1] && inner[0] + inner[2] <= outer[0] + outer[2] &&
         inner[1] + inner[3] <= outer[1] + outer[3];
}

// Whether the first drawing call paints every pixel of the grabbed rectangle with nothing of
// what was there before: then the calls alone decide the grabbed pixels.
bool FirstDrawingCovers(const Canvas& c) {
  for (const Call& call : c.calls) {
    if (!IsDrawing(call.op)) continue;
    const DrawState& st = call.state;
    if (!Contains(st.viewport, c.rect)) return false;
    if (call.op == Op::kCls) return true;
    if (call.op != Op::kRect) return false;
    const bool opaque =
        st.blend == BlendMode::Solid || (st.blend == BlendMode::Mask && st.alpha >= 1.0f);
    const bool upright =
        st.tform[0] == 1.0f && st.tform[1] == 0.0f && st.tform[2] == 0.0f && st.tform[3] == 1.0f;
    if (!opaque || !upright) return false;
    const float x0 = call.f[0] + call.f[4], y0 = call.f[1] + call.f[5];
    const float x1 = call.f[2] + call.f[4], y1 = call.f[3] + call.f[5];
    if (!Integral(x0) || !Integral(y0) || !Integral(x1) || !Integral(y1)) return false;
    const int box[4] = {static_cast<int>(std::fmin(x0, x1)), static_cast<int>(std::fmin(y0, y1)),
                        static_cast<int>(std::fabs(x1 - x0)), static_cast<int>(std::fabs(y1 - y0))};
    return Contains(box, c.rect);
  }
  return false;
}

// Stands in for the current driver while a canvas is open: state and drawing calls are noted;
// anything else first sends the notes to the real driver and closes the canvas.
class CanvasRecorder : public TQuill2DDriver {
 public:
  TQuill2DDriver* real = nullptr;
  Canvas canvas;
  DrawState state;  // in force at the call being noted

  void Note(Op op, std::initializer_list<float> f, std::initializer_list<int> i = {}) {
    Call c;
    c.op = op;
    std::copy(f.begin(), f.end(), c.f);
    std::copy(i.begin(), i.end(), c.i);
    switch (op) {
      case Op::kBlend: state.blend = c.i[0]; break;
      case Op::kAlpha: state.alpha = c.f[0]; break;
      case Op::kColor: std::copy(c.i, c.i + 3, state.color); break;
      case Op::kClsColor: std::copy(c.i, c.i + 3, state.cls_color); break;
      case Op::kViewport: std::copy(c.i, c.i + 4, state.viewport); break;
      case Op::kTransform: std::copy(c.f, c.f + 4, state.tform); break;
      case Op::kLineWidth: state.line_width = c.f[0]; break;
      default: c.state = state; break;
    }
    canvas.calls.push_back(std::move(c));
  }

  std::shared_ptr<TGraphics> CreateGraphics(int w, int h, int depth, int hertz, int flags) override {
    return Spill()->CreateGraphics(w, h, depth, hertz, flags);
  }
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override { Spill()->SetGraphics(graphics); }
  void Flip(int sync) override { Spill()->Flip(sync); }
  std::shared_ptr<TImageFrame> CreateFrameFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                     int flags) override {
    return real->CreateFrameFromPixmap(std::move(pixmap), flags);  // draws nothing
  }
  bool UpdateFrameFromPixmap(TImageFrame& frame, const TPixmap& pixmap, int flags) override {
    return real->UpdateFrameFromPixmap(frame, pixmap, flags);
  }
  bool CanvasGrabsCost() const override { return real->CanvasGrabsCost(); }

  void SetBlend(int mode) override { Note(Op::kBlend, {}, {mode}); }
  void SetAlpha(float alpha) override { Note(Op::kAlpha, {alpha}); }
  void SetColor(int r, int g, int b) override { Note(Op::kColor, {}, {r, g, b}); }
  void SetClsColor(int r, int g, int b) override { Note(Op::kClsColor, {}, {r, g, b}); }
  void SetViewport(int x, int y, int w, int h) override { Note(Op::kViewport, {}, {x, y, w, h}); }
  void SetTransform(float ix, float iy, float jx, float jy) override {
    Note(Op::kTransform, {ix, iy, jx, jy});
  }
  void SetLineWidth(float width) override { Note(Op::kLineWidth, {width}); }
  void Cls() override { Note(Op::kCls, {}); }
  void Plot(float x, float y) override { Note(Op::kPlot, {x, y}); }
  void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override {
    Note(Op::kLine, {x0, y0, x1, y1, tx, ty});
  }
  void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override {
    Note(Op::kRect, {x0, y0, x1, y1, tx, ty});
  }
  void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override {
    Note(Op::kOval, {x0, y0, x1, y1, tx, ty});
  }
  void DrawPoly(const std::vector<float>& xy, float hx, float hy, float tx, float ty) override {
    Note(Op::kPoly, {hx, hy, tx, ty});
    canvas.calls.back().poly = xy;
  }
  void DrawPixmap(const TPixmap& pixmap, int x, int y) override {
    Spill()->DrawPixmap(pixmap, x, y);  // a pixmap has no version to compare
  }
  std::shared_ptr<TPixmap> GrabPixmap(int x, int y, int w, int h) override {
    return Spill()->GrabPixmap(x, y, w, h);
  }
  std::shared_ptr<TImageFrame> GrabFrame(const std::shared_ptr<TImageFrame>& reuse, int x, int y,
                                         int w, int h, int flags, const int* mask) override {
    return Spill()->GrabFrame(reuse, x, y, w, h, flags, mask);
  }

  // Sends what was noted to the real driver and closes the canvas; returns the real driver.
  TQuill2DDriver* Spill();
};

CanvasRecorder recorder;
// Non-zero exactly while a canvas is open: a canvas never grabbed is drawn before the frame shows.
int flip_hook = 0;
std::vector<Kept> kept;
std::optional<Canvas> pending;  // drawn, waiting for KeepCanvas
constexpr size_t kMaxKept = 8;
uint64_t last_version = 0;
uint64_t reused = 0;

// Puts the real driver back in place.
TQuill2DDriver* Close() {
  if (flip_hook != 0) FlipHooks().Remove(flip_hook);
  flip_hook = 0;
  if (CurrentDrawDriver() == &recorder) ReplaceCurrentDrawDriver(recorder.real);
  return recorder.real;
}

TQuill2DDriver* CanvasRecorder::Spill() {
  TQuill2DDriver* d = Close();
  Replay(*d, canvas.calls, false);
  canvas.calls.clear();
  return d;
}

Kept* Find(const TImage& image, int frame) {
  for (Kept& k : kept) {
    if (k.image == &image && k.frame == frame) return &k;
  }
  return nullptr;
}

}  // namespace

void BeginCanvas() {
  if (flip_hook != 0) return;
  TQuill2DGraphics* record = CurrentRenderState();
  TQuill2DDriver* driver = CurrentDrawDriver();
  if (!record || !driver || !driver->CanvasGrabsCost()) return;
  recorder.real = driver;
  recorder.canvas = Canvas{};
  recorder.state = DrawState::Of(*record);
  recorder.canvas.display = DisplaySequence();
  ReplaceCurrentDrawDriver(&recorder);
  flip_hook = FlipHooks().Add(
      [](const int&) {
        if (CanvasOpen()) recorder.Spill();
      },
      1 << 30);
}

bool CanvasOpen() {
  // A display made current meanwhile has its own driver in place: the notes are lost with it.
  if (flip_hook != 0 && CurrentDrawDriver() != &recorder) Close();
  return flip_hook != 0;
}

void NoteCanvasImage(const TImage& image, int frame, std::shared_ptr<TImageFrame> texture,
                     float x0, float y0, float x1, float y1, float tx, float ty) {
  if (!CanvasOpen()) {
    if (texture) texture->Draw(x0, y0, x1, y1, tx, ty);
    return;
  }
  recorder.Note(Op::kImage, {x0, y0, x1, y1, tx, ty});
  Call& c = recorder.canvas.calls.back();
  c.texture_id = texture.get();
  c.texture = texture;
  c.image = &image;
  c.image_version = image.versions[frame];
}

CanvasEnd EndCanvas(const TImage& image, int frame, int x, int y, const int* mask) {
  pending.reset();
  if (!CanvasOpen()) return CanvasEnd::kNone;
  TQuill2DDriver* real = Close();
  Canvas& c = recorder.canvas;
  c.rect[0] = x, c.rect[1] = y, c.rect[2] = image.width, c.rect[3] = image.height;
  if (mask) std::memcpy(c.mask, mask, sizeof c.mask);
  c.image_flags = image.flags;
  const bool reusable = c.display == DisplaySequence() && FirstDrawingCovers(c);
  const Kept* k = reusable ? Find(image, frame) : nullptr;
  if (k && frame >= 0 && frame < static_cast<int>(image.versions.size()) &&
      image.versions[frame] == k->version && c.SameAs(k->canvas)) {
    // The driver still takes the state changes: later calls expect them in force.
    Replay(*real, c.calls, true);
    c.calls.clear();
    ++reused;
    return CanvasEnd::kUnchanged;
  }
  Replay(*real, c.calls, false);
  if (reusable) {
    pending = std::move(c);
  }
  recorder.canvas = Canvas{};
  return CanvasEnd::kDrawn;
}

void KeepCanvas(const TImage& image, int frame) {
  if (!pending || frame < 0 || frame >= static_cast<int>(image.versions.size())) return;
  Kept* k = Find(image, frame);
  if (!k) {
    if (kept.size() >= kMaxKept) kept.erase(kept.begin());
    kept.push_back({});
    k = &kept.back();
  }
  k->image = &image;
  k->frame = frame;
  k->version = image.versions[frame];
  k->canvas = std::move(*pending);
  pending.reset();
}

void ForgetCanvases() {
  if (CanvasOpen()) Close();
  recorder.canvas = Canvas{};
  kept.clear();
  pending.reset();
}

uint64_t NextImageVersion() { return ++last_version; }

uint64_t CanvasesReused() { return reused; }
