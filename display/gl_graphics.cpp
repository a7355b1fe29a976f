#include "display/gl_graphics.h"

#include "display/glx_display.h"

namespace {

// The platform record behind one open display.
class TGLGraphics : public TGraphics {
 public:
  TGLGraphics(TGraphicsDriver* driver, std::unique_ptr<GLXDisplayRecord> record)
      : _driver(driver), _context(std::move(record)) {}
  ~TGLGraphics() override { Close(); }

  TGraphicsDriver* Driver() override { return _driver; }
  void GetSettings(int& width, int& height, int& depth, int& hertz, int& flags) override {
    width = _context->width;
    height = _context->height;
    depth = _context->depth;
    hertz = _context->hertz;
    flags = _context->flags;
  }
  void Close() override { CloseGLXDisplay(_context.get()); }

  GLXDisplayRecord* record() { return _context.get(); }

 private:
  TGraphicsDriver* _driver;
  std::unique_ptr<GLXDisplayRecord> _context;
};

}  // namespace

std::shared_ptr<TGraphics> TGLGraphicsDriver::CreateGraphics(int width, int height, int depth,
                                                             int hertz, int flags) {
  std::unique_ptr<GLXDisplayRecord> record = CreateGLXDisplay(width, height, depth, hertz, flags);
  if (!record) return nullptr;
  return std::make_shared<TGLGraphics>(this, std::move(record));
}

void TGLGraphicsDriver::SetGraphics(std::shared_ptr<TGraphics> graphics) {
  auto* gl = dynamic_cast<TGLGraphics*>(graphics.get());
  MakeGLXDisplayCurrent(gl ? gl->record() : nullptr);
}

void TGLGraphicsDriver::Flip(int sync) { FlipGLXDisplay(sync); }

DisplayInfo CurrentDisplayInfo() {
  DisplayInfo info;
  GLXDisplayRecord* r = CurrentGLXDisplay();
  if (!r) return info;
  info.open = true;
  info.mode_switched = r->mode_switched;
  info.scaled_fallback = r->scaled;
  info.window_width = r->window_width;
  info.window_height = r->window_height;
  if (r->scaled) {
    const PictureRect& p = r->presenter.placement();
    info.picture_x = p.x;
    info.picture_y = p.y;
    info.picture_w = p.w;
    info.picture_h = p.h;
  } else {
    info.picture_w = r->width;
    info.picture_h = r->height;
  }
  return info;
}

const char* LastDisplayNameTried() { return LastGLXDisplayNameTried(); }
const char* LastDisplayFailure() { return LastGLXDisplayFailure(); }
