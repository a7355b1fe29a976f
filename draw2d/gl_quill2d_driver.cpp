// Fixed-function OpenGL drawing: render state, primitives, texture frames and back-buffer grabs.
#include "draw2d/gl_quill2d_driver.h"

#include <GL/gl.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "draw2d/gl_canvas_grab.h"
#include "draw2d/image.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "draw2d/texture_layout.h"
#include "system/numeric.h"

namespace {

// What the driver knows of the OpenGL state. One GL context is in use at a time, so this is
// process-wide; ResetGLContext starts it afresh for a newly current context. A call that would
// set what is set already is not made.
struct GLDriverState {
  int blend = 0;  // 0: none applied yet
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
  GLubyte color[4] = {255, 255, 255, 255};
  GLubyte sent_color[4] = {0, 0, 0, 0};
  bool color_sent = false;
  int clear_color = -1;  // 0xRRGGBB last given to glClearColor; -1: unknown
  float line_width = -1.0f;
  int scissor = -1;  // -1 unknown, 0 off, 1 on with scissor_box
  int scissor_box[4] = {0, 0, 0, 0};
  GLuint bound_texture = 0;
  bool texturing = false;
  int width = 0, height = 0;
} gl_state;

// Grabs straight into textures where the policy and the GL allow.
GLCanvasGrabber canvas_grabber;
TGLQuill2DDriver::GPUGrabPolicy gpu_grab_policy = TGLQuill2DDriver::kAuto;
struct {
  int seq = 0;  // display the answer is for
  bool software = false;
} renderer;

void SendColor() {
  if (gl_state.color_sent && std::memcmp(gl_state.sent_color, gl_state.color, 4) == 0) return;
  glColor4ubv(gl_state.color);
  std::memcpy(gl_state.sent_color, gl_state.color, 4);
  gl_state.color_sent = true;
}

void TexturingOff() {
  if (gl_state.texturing) {
    glDisable(GL_TEXTURE_2D);
    gl_state.texturing = false;
  }
}

void BindTexture(GLuint name) {
  if (gl_state.bound_texture != name) {
    glBindTexture(GL_TEXTURE_2D, name);
    gl_state.bound_texture = name;
  }
}

void TexturingOn(GLuint name) {
  if (!gl_state.texturing) {
    glEnable(GL_TEXTURE_2D);
    gl_state.texturing = true;
  }
  BindTexture(name);
}

// With no alpha at all, a blended or alpha-tested draw leaves every pixel as it was: the call
// can be left out. (The title's lettering is drawn at alpha 0 for hundreds of frames.)
bool DrawLeavesNoTrace() {
  if (gl_state.color[3] != 0) return false;
  return gl_state.blend == BlendMode::Mask || gl_state.blend == BlendMode::Alpha ||
         gl_state.blend == BlendMode::Light;
}

int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// A local point placed with the current matrix at translation (tx, ty), plus `offset` (lines
// and points sit on pixel centres). Worked out in double precision, handed to GL as 32-bit.
inline void Vertex(double x, double y, double tx, double ty, double offset = 0.0) {
  glVertex2f(static_cast<float>(x * gl_state.ix + y * gl_state.iy + tx + offset),
             static_cast<float>(x * gl_state.jx + y * gl_state.jy + ty + offset));
}

bool ProxyAccepts(int w, int h) {
  glTexImage2D(GL_PROXY_TEXTURE_2D, 0, GL_RGBA8, w, h, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
  GLint reported = 0;
  glGetTexLevelParameteriv(GL_PROXY_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &reported);
  return reported != 0;
}

void Upload(const TPixmap& p, int level) {
  glPixelStorei(GL_UNPACK_ROW_LENGTH, p.pitch / 4);
  glTexSubImage2D(GL_TEXTURE_2D, level, 0, 0, p.width, p.height, GL_RGBA, GL_UNSIGNED_BYTE,
                  p.pixels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
}

// Refills the image part of a texture made by CreateFromPixmap (texels past the extra column and
// row stay as they were: zero): the format-6 pixmap plus the column and row that repeat its edge,
// in one upload from a buffer kept between calls.
void UploadPadded(const TPixmap& p, int tex_w, int tex_h) {
  const int w = p.width, h = p.height;
  const int pw = std::min(w + 1, tex_w), ph = std::min(h + 1, tex_h);
  static std::vector<uint8_t> buffer;
  buffer.resize(static_cast<size_t>(pw) * ph * 4);
  const size_t row_bytes = static_cast<size_t>(pw) * 4;
  for (int y = 0; y < ph; ++y) {
    uint8_t* row = buffer.data() + row_bytes * y;
    std::memcpy(row, p.Row(std::min(y, h - 1)), static_cast<size_t>(w) * 4);
    if (pw > w) std::memcpy(row + w * 4, row + (w - 1) * 4, 4);
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, pw, ph, GL_RGBA, GL_UNSIGNED_BYTE, buffer.data());
}

// A texture of tex_w x tex_h texels, all zero, with the wrap and filters of `flags`; bound.
GLuint NewTexture(int tex_w, int tex_h, int flags, bool zeroed) {
  const bool filtered = flags & ImageFlag::Filtered;
  const bool mipmapped = flags & ImageFlag::Mipmapped;
  GLuint name = 0;
  glGenTextures(1, &name);
  BindTexture(name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
  GLint min_filter = filtered ? (mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR)
                              : (mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, min_filter);
  std::vector<uint8_t> zeros;
  if (zeroed) zeros.assign(static_cast<size_t>(tex_w) * tex_h * 4, 0);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, tex_w, tex_h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               zeroed ? zeros.data() : nullptr);
  return name;
}

int TextureFlags(int flags) { return flags & (ImageFlag::Filtered | ImageFlag::Mipmapped); }

// The texture size for a w x h image, or the end of the program if OpenGL takes none.
void TexSizeOrExit(int w, int h, int& tex_w, int& tex_h) {
  if (!CalculateTexSize(w, h, ProxyAccepts, tex_w, tex_h)) {
    std::fprintf(stderr, "Unable to calculate tex size\n");
    std::exit(1);
  }
}

}  // namespace

// ---- Graphics ----

std::shared_ptr<TGraphics> TGLQuill2DDriver::CreateGraphics(int width, int height, int depth,
                                                            int hertz, int flags) {
  auto graphics = _gl.CreateGraphics(width, height, depth, hertz, flags);
  if (!graphics) return nullptr;
  return NewRenderState(graphics, this);
}

void TGLQuill2DDriver::SetGraphics(std::shared_ptr<TGraphics> graphics) {
  auto record = std::dynamic_pointer_cast<TQuill2DGraphics>(graphics);
  if (!record) {
    _gl.SetGraphics(nullptr);
    ClearCurrentRenderState();
    return;
  }
  _gl.SetGraphics(record->_graphics);
  ResetGLContext(*record);
  MakeCurrent(record);
}

void TGLQuill2DDriver::Flip(int sync) { _gl.Flip(sync); }

void TGLQuill2DDriver::ResetGLContext(TGraphics& graphics) {
  int depth = 0, hertz = 0, flags = 0;
  graphics.GetSettings(gl_state.width, gl_state.height, depth, hertz, flags);
  gl_state.blend = 0;
  gl_state.color_sent = false;
  gl_state.clear_color = -1;
  gl_state.line_width = -1.0f;
  gl_state.scissor = -1;
  gl_state.bound_texture = 0;
  glBindTexture(GL_TEXTURE_2D, 0);
  gl_state.texturing = false;
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, gl_state.width, gl_state.height, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glViewport(0, 0, gl_state.width, gl_state.height);
}

// ---- State ----

void TGLQuill2DDriver::SetBlend(int mode) {
  if (mode == gl_state.blend) return;
  gl_state.blend = mode;
  switch (mode) {
    case BlendMode::Mask:
      glDisable(GL_BLEND);
      glEnable(GL_ALPHA_TEST);
      glAlphaFunc(GL_GEQUAL, 0.5f);
      break;
    case BlendMode::Alpha:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      glDisable(GL_ALPHA_TEST);
      break;
    case BlendMode::Light:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      glDisable(GL_ALPHA_TEST);
      break;
    case BlendMode::Shade:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      glDisable(GL_ALPHA_TEST);
      break;
    default:  // solid, and any unknown mode
      glDisable(GL_BLEND);
      glDisable(GL_ALPHA_TEST);
      break;
  }
}

void TGLQuill2DDriver::SetAlpha(float alpha) {
  if (alpha > 1.0f) alpha = 1.0f;
  if (!(alpha >= 0.0f)) alpha = 0.0f;  // also catches NaN
  gl_state.color[3] = static_cast<GLubyte>(TruncToInt(alpha * 255.0));
  SendColor();
}

void TGLQuill2DDriver::SetColor(int r, int g, int b) {
  gl_state.color[0] = static_cast<GLubyte>(ClampByte(r));
  gl_state.color[1] = static_cast<GLubyte>(ClampByte(g));
  gl_state.color[2] = static_cast<GLubyte>(ClampByte(b));
  SendColor();
}

void TGLQuill2DDriver::SetClsColor(int r, int g, int b) {
  r = ClampByte(r), g = ClampByte(g), b = ClampByte(b);
  const int packed = (r << 16) | (g << 8) | b;
  if (packed == gl_state.clear_color) return;
  gl_state.clear_color = packed;
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
}

void TGLQuill2DDriver::SetViewport(int x, int y, int w, int h) {
  if (x == 0 && y == 0 && w == gl_state.width && h == gl_state.height) {
    if (gl_state.scissor != 0) glDisable(GL_SCISSOR_TEST);
    gl_state.scissor = 0;
    return;
  }
  const int box[4] = {x, gl_state.height - y - h, w, h};
  if (gl_state.scissor != 1) glEnable(GL_SCISSOR_TEST);
  if (gl_state.scissor != 1 || std::memcmp(box, gl_state.scissor_box, sizeof box) != 0) {
    glScissor(box[0], box[1], box[2], box[3]);
    std::memcpy(gl_state.scissor_box, box, sizeof box);
  }
  gl_state.scissor = 1;
}

void TGLQuill2DDriver::SetTransform(float ix, float iy, float jx, float jy) {
  gl_state.ix = ix;
  gl_state.iy = iy;
  gl_state.jx = jx;
  gl_state.jy = jy;
}

void TGLQuill2DDriver::SetLineWidth(float width) {
  if (width == gl_state.line_width) return;
  gl_state.line_width = width;
  glLineWidth(width);
}

// ---- Primitives ----

void TGLQuill2DDriver::Cls() { glClear(GL_COLOR_BUFFER_BIT); }

void TGLQuill2DDriver::Plot(float x, float y) {
  if (DrawLeavesNoTrace()) return;
  TexturingOff();
  glBegin(GL_POINTS);
  glVertex2f(static_cast<float>(x + 0.5), static_cast<float>(y + 0.5));
  glEnd();
}

void TGLQuill2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  TexturingOff();
  glBegin(GL_LINES);
  Vertex(x0, y0, tx, ty, 0.5);
  Vertex(x1, y1, tx, ty, 0.5);
  glEnd();
}

void TGLQuill2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  TexturingOff();
  glBegin(GL_QUADS);
  Vertex(x0, y0, tx, ty);
  Vertex(x1, y0, tx, ty);
  Vertex(x1, y1, tx, ty);
  Vertex(x0, y1, tx, ty);
  glEnd();
}

void TGLQuill2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  float xr = (x1 - x0) * 0.5f;
  float yr = (y1 - y0) * 0.5f;
  int segments = OvalSegments(x0, y0, x1, y1);
  const double cx = double{x0} + xr, cy = double{y0} + yr;
  TexturingOff();
  glBegin(GL_POLYGON);
  for (int i = 0; i < segments; ++i) {
    // Starts at the rightmost point; y grows downward, so -sin runs counter-clockwise on screen.
    float theta = static_cast<float>(i) * 360.0f / static_cast<float>(segments);
    Vertex(cx + Cos(theta) * xr, cy - Sin(theta) * yr, tx, ty);
  }
  glEnd();
}

void TGLQuill2DDriver::DrawPoly(const std::vector<float>& xy, float handle_x, float handle_y,
                                float tx, float ty) {
  if (xy.size() < 6 || (xy.size() & 1) || DrawLeavesNoTrace()) return;
  TexturingOff();
  glBegin(GL_POLYGON);
  for (size_t i = 0; i < xy.size(); i += 2) Vertex(xy[i] + handle_x, xy[i + 1] + handle_y, tx, ty);
  glEnd();
}

void TGLQuill2DDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  if (pixmap.width <= 0 || pixmap.height <= 0) return;
  std::shared_ptr<TPixmap> converted;
  const TPixmap* p = &pixmap;
  if (pixmap.format != PixelFormat::RGBA8888) {
    converted = pixmap.Convert(PixelFormat::RGBA8888);
    p = converted.get();
  }
  TexturingOff();
  // Row 0 is the top row: draw downward from the raster position.
  glRasterPos2i(x, y);
  glPixelZoom(1.0f, -1.0f);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, p->pitch / 4);
  glDrawPixels(p->width, p->height, GL_RGBA, GL_UNSIGNED_BYTE, p->pixels);
  glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
  glPixelZoom(1.0f, 1.0f);
}

std::shared_ptr<TPixmap> TGLQuill2DDriver::GrabPixmap(int x, int y, int w, int h) {
  auto pixmap = TPixmap::Create(std::max(w, 0), std::max(h, 0), PixelFormat::RGBA8888);
  if (w <= 0 || h <= 0) return pixmap;
  // Reading ignores blending and the alpha test: the blend mode stays as it is.
  glPixelStorei(GL_PACK_ROW_LENGTH, pixmap->pitch / 4);
  glReadPixels(x, gl_state.height - h - y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixmap->pixels);
  glPixelStorei(GL_PACK_ROW_LENGTH, 0);
  // OpenGL reads bottom-up; swap rows in place so row 0 is the top.
  static std::vector<uint8_t> scratch;
  scratch.resize(static_cast<size_t>(pixmap->pitch));
  for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
    std::memcpy(scratch.data(), pixmap->Row(top), scratch.size());
    std::memcpy(pixmap->Row(top), pixmap->Row(bottom), scratch.size());
    std::memcpy(pixmap->Row(bottom), scratch.data(), scratch.size());
  }
  return pixmap;
}

void TGLQuill2DDriver::SetGPUGrab(GPUGrabPolicy policy) { gpu_grab_policy = policy; }

bool TGLQuill2DDriver::GPUGrabInUse() {
  switch (gpu_grab_policy) {
    case kNever:
      return false;
    case kAlways:
      return canvas_grabber.Available();
    case kAuto:
      break;
  }
  if (renderer.seq != DisplaySequence()) {
    renderer.seq = DisplaySequence();
    renderer.software = RendererIsSoftware();
  }
  // Asked first: a software renderer never compiles the grab's shader.
  return !renderer.software && canvas_grabber.Available();
}

bool TGLQuill2DDriver::UpdateFrameFromPixmap(TImageFrame& frame, const TPixmap& pixmap, int flags) {
  auto* f = dynamic_cast<TGLImageFrame*>(&frame);
  if (!f || !f->Refillable(pixmap.width, pixmap.height, flags)) return false;
  std::shared_ptr<TPixmap> converted;
  const TPixmap* p = &pixmap;
  if (pixmap.format != PixelFormat::RGBA8888) {
    converted = pixmap.Convert(PixelFormat::RGBA8888);
    if (!converted) return false;
    p = converted.get();
  }
  BindTexture(f->name);
  UploadPadded(*p, f->_tex_w, f->_tex_h);
  return true;
}

std::shared_ptr<TImageFrame> TGLQuill2DDriver::GrabFrame(const std::shared_ptr<TImageFrame>& reuse,
                                                         int x, int y, int w, int h, int flags,
                                                         const int* mask) {
  // Mipmaps would need every level made again; a rectangle partly off the surface reads
  // undefined pixels either way, but the pixmap route keeps whatever the GL gives it.
  if ((flags & ImageFlag::Mipmapped) || w <= 0 || h <= 0 || x < 0 || y < 0 ||
      x + w > gl_state.width || y + h > gl_state.height || !GPUGrabInUse()) {
    return nullptr;
  }
  auto frame = std::dynamic_pointer_cast<TGLImageFrame>(reuse);
  if (!frame || !frame->Refillable(w, h, flags)) {
    frame = TGLImageFrame::CreateBlank(w, h, flags);
    if (!frame) return nullptr;
  }
  const bool grabbed = canvas_grabber.Grab(frame->name, frame->_tex_w, frame->_tex_h, x, y, w, h,
                                           mask, gl_state.width, gl_state.height);
  // Bound by the copy, whether or not the pass could follow.
  gl_state.bound_texture = canvas_grabber.scratch_binding();
  return grabbed ? frame : nullptr;
}

// ---- Frames ----

std::shared_ptr<TImageFrame> TGLQuill2DDriver::CreateFrameFromPixmap(
    std::shared_ptr<TPixmap> pixmap, int flags) {
  return TGLImageFrame::CreateFromPixmap(std::move(pixmap), flags);
}

namespace {

// What a frame keeps of its new texture: the corner the picture uses (`used_w` x `used_h` of
// `tex_w` x `tex_h`), the image size it was made for, the display and the filter bits.
void RecordTextureArea(TGLImageFrame& frame, int used_w, int used_h, int image_w, int image_h,
                       int tex_w, int tex_h, int flags) {
  frame.u1 = static_cast<float>(used_w) / static_cast<float>(tex_w);
  frame.v1 = static_cast<float>(used_h) / static_cast<float>(tex_h);
  frame.seq = DisplaySequence();
  frame._width = image_w;
  frame._height = image_h;
  frame._tex_w = tex_w;
  frame._tex_h = tex_h;
  frame._flags = TextureFlags(flags);
}

}  // namespace

std::shared_ptr<TGLImageFrame> TGLImageFrame::CreateFromPixmap(std::shared_ptr<TPixmap> pixmap,
                                                               int flags) {
  if (!pixmap || pixmap->width <= 0 || pixmap->height <= 0) return nullptr;
  int tex_w = 0, tex_h = 0;
  TexSizeOrExit(pixmap->width, pixmap->height, tex_w, tex_h);
  const int source_w = pixmap->width, source_h = pixmap->height;
  int width = std::min(pixmap->width, tex_w);
  int height = std::min(pixmap->height, tex_h);
  if (width != pixmap->width || height != pixmap->height) pixmap = pixmap->Resized(width, height);
  auto pixels = PadForTexture(pixmap, tex_w, tex_h);
  if (!pixels) return nullptr;

  const bool mipmapped = flags & ImageFlag::Mipmapped;
  auto frame = std::make_shared<TGLImageFrame>();
  frame->name = NewTexture(tex_w, tex_h, flags, false);
  Upload(*pixels, 0);
  int level = 0, lw = tex_w, lh = tex_h;
  while (mipmapped && !(lw == 1 && lh == 1)) {
    lw = std::max(lw / 2, 1);
    lh = std::max(lh / 2, 1);
    pixels = pixels->Resized(lw, lh);
    ++level;
    glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA8, lw, lh, 0, GL_RGBA, GL_UNSIGNED_BYTE, nullptr);
    Upload(*pixels, level);
  }

  RecordTextureArea(*frame, width, height, source_w, source_h, tex_w, tex_h, flags);
  return frame;
}

std::shared_ptr<TGLImageFrame> TGLImageFrame::CreateBlank(int w, int h, int flags) {
  if (w <= 0 || h <= 0 || (flags & ImageFlag::Mipmapped)) return nullptr;
  int tex_w = 0, tex_h = 0;
  TexSizeOrExit(w, h, tex_w, tex_h);
  if (w > tex_w || h > tex_h) return nullptr;  // only the pixmap route scales down
  auto frame = std::make_shared<TGLImageFrame>();
  frame->name = NewTexture(tex_w, tex_h, flags, true);
  RecordTextureArea(*frame, w, h, w, h, tex_w, tex_h, flags);
  return frame;
}

bool TGLImageFrame::Refillable(int w, int h, int flags) const {
  // Same source size and filters, no mip levels, not scaled down, and alive in this display.
  return name != 0 && seq == DisplaySequence() && w == _width && h == _height && w <= _tex_w &&
         h <= _tex_h && TextureFlags(flags) == _flags && !(flags & ImageFlag::Mipmapped);
}

std::shared_ptr<TPixmap> TGLImageFrame::ReadPixels(int w, int h) {
  if (name == 0 || seq != DisplaySequence() || w <= 0 || h <= 0 || w > _tex_w || h > _tex_h) {
    return nullptr;
  }
  std::vector<uint8_t> texels(static_cast<size_t>(_tex_w) * _tex_h * 4);
  BindTexture(name);
  glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, texels.data());
  auto pixmap = TPixmap::Create(w, h, PixelFormat::RGBA8888);
  if (!pixmap) return nullptr;
  for (int y = 0; y < h; ++y) {
    std::memcpy(pixmap->Row(y), texels.data() + static_cast<size_t>(y) * _tex_w * 4,
                static_cast<size_t>(w) * 4);
  }
  return pixmap;
}

TGLImageFrame::~TGLImageFrame() {
  // A texture of a display that has since closed went with its context.
  if (name == 0 || seq != DisplaySequence()) return;
  canvas_grabber.Forget(name);
  glDeleteTextures(1, &name);
  if (gl_state.bound_texture == name) gl_state.bound_texture = 0;
}

void TGLImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  TexturingOn(name);
  glBegin(GL_QUADS);
  glTexCoord2f(u0, v0);
  Vertex(x0, y0, tx, ty);
  glTexCoord2f(u1, v0);
  Vertex(x1, y0, tx, ty);
  glTexCoord2f(u1, v1);
  Vertex(x1, y1, tx, ty);
  glTexCoord2f(u0, v1);
  Vertex(x0, y1, tx, ty);
  glEnd();
}
