// Drawing with shaders: render state, primitives, texture frames and back-buffer reads.
#include "draw2d/shader_quill2d_driver.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "draw2d/shader_program.h"
#include "draw2d/image.h"
#include "draw2d/pixmap.h"
#include "draw2d/render_state.h"
#include "draw2d/texture_layout.h"
#include "system/numeric.h"

namespace {

// Positions arrive in window pixels (y down) and leave as clip coordinates; a texel modulates
// the colour as the fixed-function texture environment does, and the mask blend's alpha test
// keeps fragments whose alpha is at least one half.
const char* const kVertexShader = R"(
attribute vec2 a_pos;
attribute vec2 a_uv;
uniform vec2 u_scale;
varying vec2 v_uv;
void main() {
  gl_Position = vec4(a_pos.x * u_scale.x - 1.0, 1.0 - a_pos.y * u_scale.y, 0.0, 1.0);
  gl_PointSize = 1.0;
  v_uv = a_uv;
}
)";
const char* const kFragmentShader = R"(
#ifdef GL_ES
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
#endif
uniform vec4 u_color;
uniform sampler2D u_texture;
uniform bool u_textured;
uniform bool u_alpha_test;
varying vec2 v_uv;
void main() {
  vec4 c = u_color;
  if (u_textured) c *= texture2D(u_texture, v_uv);
  if (u_alpha_test && c.a < 0.5) discard;
  gl_FragColor = c;
}
)";

// What the driver knows of the GL state. Forget() marks all of it unknown (a new context);
// presenting a frame disturbs only part of it, which Restore() puts back.
struct GLState {
  GLuint program = 0;
  GLint pos_at = -1, uv_at = -1;
  GLint scale_at = -1, color_at = -1, textured_at = -1, alpha_test_at = -1;
  GLuint buffer = 0;
  int blend = 0;  // 0: none applied yet
  float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;
  GLubyte color[4] = {255, 255, 255, 255};
  GLubyte sent_color[4] = {0, 0, 0, 0};
  bool color_sent = false;
  int textured = -1;
  int clear_color = -1;
  float line_width = -1.0f;
  int scissor = -1;
  int scissor_box[4] = {0, 0, 0, 0};
  GLuint bound_texture = 0;
  bool bound_known = false;
  bool draw_state_known = false;  // program, buffer, attributes, viewport, framebuffer
  GLuint target = 0;  // the framebuffer drawn into
  int width = 0, height = 0;
  GLint max_texture = 0;
  std::vector<GLfloat> vertices;  // x, y, u, v per vertex
} st;

void Forget() {
  st.blend = 0;
  st.color_sent = false;
  st.textured = -1;
  st.clear_color = -1;
  st.line_width = -1.0f;
  st.scissor = -1;
  st.bound_known = false;
  st.draw_state_known = false;
}

void Restore() {
  st.bound_known = false;
  st.draw_state_known = false;
  if (st.blend == BlendMode::Alpha || st.blend == BlendMode::Light || st.blend == BlendMode::Shade) {
    glEnable(GL_BLEND);
  }
  if (st.scissor == 1) glEnable(GL_SCISSOR_TEST);
}

void BindTexture(GLuint name) {
  if (st.bound_known && st.bound_texture == name) return;
  glBindTexture(GL_TEXTURE_2D, name);
  st.bound_texture = name;
  st.bound_known = true;
}

void UseDrawState() {
  if (st.draw_state_known) return;
  // Nothing but this driver binds framebuffers on a surface drawn into directly.
  if (st.target != 0) glBindFramebuffer(GL_FRAMEBUFFER, st.target);
  glViewport(0, 0, st.width, st.height);
  glUseProgram(st.program);
  glBindBuffer(GL_ARRAY_BUFFER, st.buffer);
  glEnableVertexAttribArray(st.pos_at);
  glEnableVertexAttribArray(st.uv_at);
  glVertexAttribPointer(st.pos_at, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(GLfloat), nullptr);
  glVertexAttribPointer(st.uv_at, 2, GL_FLOAT, GL_FALSE, 4 * sizeof(GLfloat),
                        reinterpret_cast<const void*>(2 * sizeof(GLfloat)));
  glActiveTexture(GL_TEXTURE0);
  // Presenting may leave the surface's offscreen picture bound, and WebGL refuses every draw
  // into a framebuffer whose texture is bound, sampled or not.
  glBindTexture(GL_TEXTURE_2D, 0);
  st.bound_texture = 0;
  st.bound_known = true;
  st.draw_state_known = true;
}

void SendColor() {
  if (st.color_sent && std::memcmp(st.sent_color, st.color, 4) == 0) return;
  glUniform4f(st.color_at, st.color[0] / 255.0f, st.color[1] / 255.0f, st.color[2] / 255.0f,
              st.color[3] / 255.0f);
  std::memcpy(st.sent_color, st.color, 4);
  st.color_sent = true;
}

void Texturing(bool on) {
  if (st.textured == static_cast<int>(on)) return;
  glUniform1i(st.textured_at, on ? 1 : 0);
  st.textured = on ? 1 : 0;
}

// As the OpenGL driver: a blended or alpha-tested draw at alpha 0 changes no pixel.
bool DrawLeavesNoTrace() {
  if (st.color[3] != 0) return false;
  return st.blend == BlendMode::Mask || st.blend == BlendMode::Alpha ||
         st.blend == BlendMode::Light;
}

int ClampByte(int v) { return v < 0 ? 0 : (v > 255 ? 255 : v); }

// A local point placed with the current matrix at translation (tx, ty), plus `offset`: worked
// out in double precision and handed over as 32-bit, as the OpenGL driver does.
void Vertex(double x, double y, double tx, double ty, double offset = 0.0, float u = 0.0f,
            float v = 0.0f) {
  st.vertices.push_back(static_cast<float>(x * st.ix + y * st.iy + tx + offset));
  st.vertices.push_back(static_cast<float>(x * st.jx + y * st.jy + ty + offset));
  st.vertices.push_back(u);
  st.vertices.push_back(v);
}

void Submit(GLenum mode, bool textured) {
  UseDrawState();
  SendColor();
  Texturing(textured);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(st.vertices.size() * sizeof(GLfloat)),
               st.vertices.data(), GL_STREAM_DRAW);
  glDrawArrays(mode, 0, static_cast<GLsizei>(st.vertices.size() / 4));
  st.vertices.clear();
}

bool Accepted(int w, int h) { return w <= st.max_texture && h <= st.max_texture; }

int TextureFlags(int flags) { return flags & (ImageFlag::Filtered | ImageFlag::Mipmapped); }

GLuint NewTexture(int flags) {
  const bool filtered = flags & ImageFlag::Filtered;
  const bool mipmapped = flags & ImageFlag::Mipmapped;
  GLuint name = 0;
  glGenTextures(1, &name);
  BindTexture(name);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filtered ? GL_LINEAR : GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                  filtered ? (mipmapped ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR)
                           : (mipmapped ? GL_NEAREST_MIPMAP_NEAREST : GL_NEAREST));
  return name;
}

// Rows go packed one after another (WebGL has no row length to unpack by): a format-6 pixmap's
// pitch is its width times four.
void Upload(const TPixmap& p, int level) {
  glTexImage2D(GL_TEXTURE_2D, level, GL_RGBA, p.width, p.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
               p.pixels);
}

}  // namespace

// ---- Graphics ----

std::shared_ptr<TGraphics> TShaderQuill2DDriver::CreateGraphics(int width, int height, int depth,
                                                               int hertz, int flags) {
  auto graphics = Surface().CreateGraphics(width, height, depth, hertz, flags);
  if (!graphics) return nullptr;
  // A desktop OpenGL older than 2.0 has no shaders to draw with.
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (version == nullptr ||
      (std::strstr(version, "OpenGL ES") == nullptr && std::atof(version) < 2.0)) {
    graphics->Close();
    return nullptr;
  }
  st = GLState();
  st.program = LinkGLProgram(kVertexShader, kFragmentShader);
  if (!st.program) return nullptr;
  st.pos_at = glGetAttribLocation(st.program, "a_pos");
  st.uv_at = glGetAttribLocation(st.program, "a_uv");
  st.scale_at = glGetUniformLocation(st.program, "u_scale");
  st.color_at = glGetUniformLocation(st.program, "u_color");
  st.textured_at = glGetUniformLocation(st.program, "u_textured");
  st.alpha_test_at = glGetUniformLocation(st.program, "u_alpha_test");
  glGenBuffers(1, &st.buffer);
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &st.max_texture);
  glUseProgram(st.program);
  glUniform1i(glGetUniformLocation(st.program, "u_texture"), 0);
  glUniform2f(st.scale_at, 2.0f / static_cast<float>(width), 2.0f / static_cast<float>(height));
  st.width = width;
  st.height = height;
  return NewRenderState(graphics, this);
}

void TShaderQuill2DDriver::SetGraphics(std::shared_ptr<TGraphics> graphics) {
  auto record = std::dynamic_pointer_cast<TQuill2DGraphics>(graphics);
  if (!record) {
    Surface().SetGraphics(nullptr);
    ClearCurrentRenderState();
    return;
  }
  Surface().SetGraphics(record->_graphics);
  Forget();
  st.target = TargetFramebuffer();
  MakeCurrent(record);
}

void TShaderQuill2DDriver::Flip(int sync) {
  Surface().Flip(sync);
  Restore();
}

// ---- State ----

void TShaderQuill2DDriver::SetBlend(int mode) {
  if (mode == st.blend) return;
  UseDrawState();
  st.blend = mode;
  bool alpha_test = false;
  switch (mode) {
    case BlendMode::Mask:
      glDisable(GL_BLEND);
      alpha_test = true;
      break;
    case BlendMode::Alpha:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
      break;
    case BlendMode::Light:
      glEnable(GL_BLEND);
      glBlendFunc(GL_SRC_ALPHA, GL_ONE);
      break;
    case BlendMode::Shade:
      glEnable(GL_BLEND);
      glBlendFunc(GL_DST_COLOR, GL_ZERO);
      break;
    default:  // solid, and any unknown mode
      glDisable(GL_BLEND);
      break;
  }
  glUniform1i(st.alpha_test_at, alpha_test ? 1 : 0);
}

void TShaderQuill2DDriver::SetAlpha(float alpha) {
  if (alpha > 1.0f) alpha = 1.0f;
  if (!(alpha >= 0.0f)) alpha = 0.0f;  // also catches NaN
  st.color[3] = static_cast<GLubyte>(TruncToInt(alpha * 255.0));
}

void TShaderQuill2DDriver::SetColor(int r, int g, int b) {
  st.color[0] = static_cast<GLubyte>(ClampByte(r));
  st.color[1] = static_cast<GLubyte>(ClampByte(g));
  st.color[2] = static_cast<GLubyte>(ClampByte(b));
}

void TShaderQuill2DDriver::SetClsColor(int r, int g, int b) {
  r = ClampByte(r), g = ClampByte(g), b = ClampByte(b);
  const int packed = (r << 16) | (g << 8) | b;
  if (packed == st.clear_color) return;
  st.clear_color = packed;
  glClearColor(r / 255.0f, g / 255.0f, b / 255.0f, 1.0f);
}

void TShaderQuill2DDriver::SetViewport(int x, int y, int w, int h) {
  if (x == 0 && y == 0 && w == st.width && h == st.height) {
    if (st.scissor != 0) glDisable(GL_SCISSOR_TEST);
    st.scissor = 0;
    return;
  }
  const int box[4] = {x, st.height - y - h, w, h};
  if (st.scissor != 1) glEnable(GL_SCISSOR_TEST);
  if (st.scissor != 1 || std::memcmp(box, st.scissor_box, sizeof box) != 0) {
    glScissor(box[0], box[1], box[2], box[3]);
    std::memcpy(st.scissor_box, box, sizeof box);
  }
  st.scissor = 1;
}

void TShaderQuill2DDriver::SetTransform(float ix, float iy, float jx, float jy) {
  st.ix = ix;
  st.iy = iy;
  st.jx = jx;
  st.jy = jy;
}

void TShaderQuill2DDriver::SetLineWidth(float width) {
  if (width == st.line_width) return;
  st.line_width = width;
  glLineWidth(width);
}

// ---- Primitives ----

void TShaderQuill2DDriver::Cls() {
  UseDrawState();
  glClear(GL_COLOR_BUFFER_BIT);
}

void TShaderQuill2DDriver::Plot(float x, float y) {
  if (DrawLeavesNoTrace()) return;
  st.vertices.insert(st.vertices.end(), {static_cast<float>(x + 0.5), static_cast<float>(y + 0.5),
                                         0.0f, 0.0f});
  Submit(GL_POINTS, false);
}

void TShaderQuill2DDriver::DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  Vertex(x0, y0, tx, ty, 0.5);
  Vertex(x1, y1, tx, ty, 0.5);
  Submit(GL_LINES, false);
}

void TShaderQuill2DDriver::DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  Vertex(x0, y0, tx, ty);
  Vertex(x1, y0, tx, ty);
  Vertex(x1, y1, tx, ty);
  Vertex(x0, y1, tx, ty);
  Submit(GL_TRIANGLE_FAN, false);
}

void TShaderQuill2DDriver::DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  float xr = (x1 - x0) * 0.5f;
  float yr = (y1 - y0) * 0.5f;
  int segments = OvalSegments(x0, y0, x1, y1);
  const double cx = double{x0} + xr, cy = double{y0} + yr;
  for (int i = 0; i < segments; ++i) {
    // Starts at the rightmost point; y grows downward, so -sin runs counter-clockwise on screen.
    float theta = static_cast<float>(i) * 360.0f / static_cast<float>(segments);
    Vertex(cx + Cos(theta) * xr, cy - Sin(theta) * yr, tx, ty);
  }
  Submit(GL_TRIANGLE_FAN, false);
}

void TShaderQuill2DDriver::DrawPoly(const std::vector<float>& xy, float handle_x, float handle_y,
                                   float tx, float ty) {
  if (xy.size() < 6 || (xy.size() & 1) || DrawLeavesNoTrace()) return;
  for (size_t i = 0; i < xy.size(); i += 2) Vertex(xy[i] + handle_x, xy[i + 1] + handle_y, tx, ty);
  Submit(GL_TRIANGLE_FAN, false);
}

void TShaderQuill2DDriver::DrawPixmap(const TPixmap& pixmap, int x, int y) {
  if (pixmap.width <= 0 || pixmap.height <= 0) return;
  std::shared_ptr<TPixmap> converted;
  const TPixmap* p = &pixmap;
  if (pixmap.format != PixelFormat::RGBA8888) {
    converted = pixmap.Convert(PixelFormat::RGBA8888);
    p = converted.get();
  }
  // Pixels are written as they are, not tinted: drawn through a texture with a white colour.
  UseDrawState();
  GLuint name = NewTexture(0);
  Upload(*p, 0);
  const GLubyte color[4] = {st.color[0], st.color[1], st.color[2], st.color[3]};
  std::memset(st.color, 255, 4);
  const float x0 = static_cast<float>(x), y0 = static_cast<float>(y);
  const float x1 = x0 + static_cast<float>(p->width), y1 = y0 + static_cast<float>(p->height);
  st.vertices = {x0, y0, 0, 0, x1, y0, 1, 0, x1, y1, 1, 1, x0, y1, 0, 1};
  Submit(GL_TRIANGLE_FAN, true);
  std::memcpy(st.color, color, 4);
  glDeleteTextures(1, &name);
  st.bound_known = false;
}

std::shared_ptr<TPixmap> TShaderQuill2DDriver::GrabPixmap(int x, int y, int w, int h) {
  auto pixmap = TPixmap::Create(std::max(w, 0), std::max(h, 0), PixelFormat::RGBA8888);
  if (w <= 0 || h <= 0) return pixmap;
  UseDrawState();
  glReadPixels(x, st.height - h - y, w, h, GL_RGBA, GL_UNSIGNED_BYTE, pixmap->pixels);
  // Read bottom-up; rows swapped in place so row 0 is the top.
  std::vector<uint8_t> scratch(static_cast<size_t>(pixmap->pitch));
  for (int top = 0, bottom = h - 1; top < bottom; ++top, --bottom) {
    std::memcpy(scratch.data(), pixmap->Row(top), scratch.size());
    std::memcpy(pixmap->Row(top), pixmap->Row(bottom), scratch.size());
    std::memcpy(pixmap->Row(bottom), scratch.data(), scratch.size());
  }
  return pixmap;
}

bool TShaderQuill2DDriver::UpdateFrameFromPixmap(TImageFrame& frame, const TPixmap& pixmap,
                                                int flags) {
  auto* f = dynamic_cast<TShaderImageFrame*>(&frame);
  if (!f || !f->Refillable(pixmap.width, pixmap.height, flags)) return false;
  std::shared_ptr<TPixmap> converted;
  const TPixmap* p = &pixmap;
  if (pixmap.format != PixelFormat::RGBA8888) {
    converted = pixmap.Convert(PixelFormat::RGBA8888);
    if (!converted) return false;
    p = converted.get();
  }
  BindTexture(f->name);
  // The image, the column and row that repeat its edge; texels past them stay zero, as when
  // the frame was made.
  const int w = p->width, h = p->height;
  const int pw = std::min(w + 1, f->_tex_w), ph = std::min(h + 1, f->_tex_h);
  std::vector<uint8_t> rows(static_cast<size_t>(pw) * ph * 4);
  for (int y = 0; y < ph; ++y) {
    uint8_t* row = rows.data() + static_cast<size_t>(y) * pw * 4;
    std::memcpy(row, p->Row(std::min(y, h - 1)), static_cast<size_t>(w) * 4);
    if (pw > w) std::memcpy(row + w * 4, row + (w - 1) * 4, 4);
  }
  glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, pw, ph, GL_RGBA, GL_UNSIGNED_BYTE, rows.data());
  return true;
}

std::shared_ptr<TImageFrame> TShaderQuill2DDriver::CreateFrameFromPixmap(
    std::shared_ptr<TPixmap> pixmap, int flags) {
  return TShaderImageFrame::CreateFromPixmap(std::move(pixmap), flags);
}

// ---- Frames ----

std::shared_ptr<TShaderImageFrame> TShaderImageFrame::CreateFromPixmap(
    std::shared_ptr<TPixmap> pixmap, int flags) {
  if (!pixmap || pixmap->width <= 0 || pixmap->height <= 0) return nullptr;
  int tex_w = 0, tex_h = 0;
  if (!CalculateTexSize(pixmap->width, pixmap->height, Accepted, tex_w, tex_h)) {
    std::fprintf(stderr, "Unable to calculate tex size\n");
    std::exit(1);
  }
  const int source_w = pixmap->width, source_h = pixmap->height;
  const int width = std::min(pixmap->width, tex_w), height = std::min(pixmap->height, tex_h);
  if (width != pixmap->width || height != pixmap->height) pixmap = pixmap->Resized(width, height);
  auto pixels = PadForTexture(pixmap, tex_w, tex_h);
  if (!pixels) return nullptr;

  auto frame = std::make_shared<TShaderImageFrame>();
  frame->name = NewTexture(flags);
  Upload(*pixels, 0);
  int level = 0, lw = tex_w, lh = tex_h;
  while ((flags & ImageFlag::Mipmapped) && !(lw == 1 && lh == 1)) {
    lw = std::max(lw / 2, 1);
    lh = std::max(lh / 2, 1);
    pixels = pixels->Resized(lw, lh);
    Upload(*pixels, ++level);
  }
  frame->u1 = static_cast<float>(width) / static_cast<float>(tex_w);
  frame->v1 = static_cast<float>(height) / static_cast<float>(tex_h);
  frame->seq = DisplaySequence();
  frame->_width = source_w;
  frame->_height = source_h;
  frame->_tex_w = tex_w;
  frame->_tex_h = tex_h;
  frame->_flags = TextureFlags(flags);
  return frame;
}

bool TShaderImageFrame::Refillable(int w, int h, int flags) const {
  return name != 0 && seq == DisplaySequence() && w == _width && h == _height && w <= _tex_w &&
         h <= _tex_h && TextureFlags(flags) == _flags && !(flags & ImageFlag::Mipmapped);
}

TShaderImageFrame::~TShaderImageFrame() {
  // A texture of a display that has since closed went with its context.
  if (name == 0 || seq != DisplaySequence()) return;
  glDeleteTextures(1, &name);
  if (st.bound_texture == name) st.bound_known = false;
}

void TShaderImageFrame::Draw(float x0, float y0, float x1, float y1, float tx, float ty) {
  if (DrawLeavesNoTrace()) return;
  UseDrawState();
  BindTexture(name);
  Vertex(x0, y0, tx, ty, 0.0, 0.0f, 0.0f);
  Vertex(x1, y0, tx, ty, 0.0, u1, 0.0f);
  Vertex(x1, y1, tx, ty, 0.0, u1, v1);
  Vertex(x0, y1, tx, ty, 0.0, 0.0f, v1);
  Submit(GL_TRIANGLE_FAN, true);
}
