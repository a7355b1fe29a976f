#include "display/web/web_display.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include "display/gl_graphics.h"
#include "draw2d/shader_program.h"
#include "system/web/animation_frame.h"

namespace {

constexpr const char* kCanvas = "#canvas";

// The canvas shows the offscreen picture texel for texel: the quad covers the viewport and
// nearest filtering picks each pixel's own texel.
const char* const kPresentVertex = R"(
attribute vec2 a_pos;
varying vec2 v_uv;
void main() {
  v_uv = a_pos * 0.5 + 0.5;
  gl_Position = vec4(a_pos, 0.0, 1.0);
}
)";
const char* const kPresentFragment = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D u_picture;
varying vec2 v_uv;
void main() { gl_FragColor = vec4(texture2D(u_picture, v_uv).rgb, 1.0); }
)";

class TWebGraphics : public TGraphics {
 public:
  TWebGraphics(TGraphicsDriver* driver, EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context, int width,
               int height, int depth, int hertz, int flags)
      : _driver(driver), context(context), width(width), height(height), depth(depth),
        hertz(hertz), flags(flags) {}
  ~TWebGraphics() override { Close(); }

  TGraphicsDriver* Driver() override { return _driver; }
  void GetSettings(int& w, int& h, int& d, int& hz, int& f) override {
    w = width, h = height, d = depth, hz = hertz, f = flags;
  }
  void Close() override;

  TGraphicsDriver* _driver;
  EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context;
  int width, height, depth, hertz, flags;
  GLuint framebuffer = 0, picture = 0, program = 0, quad = 0;
};

TWebGraphics* current = nullptr;

void TWebGraphics::Close() {
  if (current == this) current = nullptr;
  if (context <= 0) return;
  emscripten_webgl_destroy_context(context);
  context = 0;
}

// The page keeps the time each frame reaches the canvas (its pacing figures).
EM_JS(void, moody_note_presented, (double now), {
  if (typeof Module.onPresented === 'function') Module.onPresented(now);
});

bool MakeOffscreenPicture(TWebGraphics& g) {
  glGenTextures(1, &g.picture);
  glBindTexture(GL_TEXTURE_2D, g.picture);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  // Alpha only when asked for (flag 4), as the desktop's visual: without it every pixel reads
  // back opaque, which a grabbed canvas relies on.
  const GLenum format = (g.flags & 4) ? GL_RGBA : GL_RGB;
  glTexImage2D(GL_TEXTURE_2D, 0, format, g.width, g.height, 0, format, GL_UNSIGNED_BYTE, nullptr);
  glGenFramebuffers(1, &g.framebuffer);
  glBindFramebuffer(GL_FRAMEBUFFER, g.framebuffer);
  glFramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, g.picture, 0);
  if (glCheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return false;

  g.program = LinkGLProgram(kPresentVertex, kPresentFragment);
  if (!g.program) return false;
  const GLfloat quad[] = {-1, -1, 1, -1, 1, 1, -1, 1};
  glGenBuffers(1, &g.quad);
  glBindBuffer(GL_ARRAY_BUFFER, g.quad);
  glBufferData(GL_ARRAY_BUFFER, sizeof quad, quad, GL_STATIC_DRAW);
  return true;
}

void CopyToCanvas(const TWebGraphics& g) {
  glBindFramebuffer(GL_FRAMEBUFFER, 0);
  glViewport(0, 0, g.width, g.height);
  glDisable(GL_BLEND);
  glDisable(GL_SCISSOR_TEST);
  glUseProgram(g.program);
  glBindBuffer(GL_ARRAY_BUFFER, g.quad);
  glEnableVertexAttribArray(0);  // a_pos, as every program of ours binds it
  glVertexAttribPointer(0, 2, GL_FLOAT, GL_FALSE, 0, nullptr);
  glActiveTexture(GL_TEXTURE0);
  glBindTexture(GL_TEXTURE_2D, g.picture);
  glDrawArrays(GL_TRIANGLE_FAN, 0, 4);
  glBindFramebuffer(GL_FRAMEBUFFER, g.framebuffer);
}

}  // namespace

std::shared_ptr<TGraphics> TWebGraphicsDriver::CreateGraphics(int width, int height, int depth,
                                                              int hertz, int flags) {
  EmscriptenWebGLContextAttributes attributes;
  emscripten_webgl_init_context_attributes(&attributes);
  attributes.alpha = EM_FALSE;
  attributes.depth = EM_FALSE;
  attributes.stencil = EM_FALSE;
  attributes.antialias = EM_FALSE;
  attributes.preserveDrawingBuffer = EM_FALSE;
  attributes.majorVersion = 1;
  emscripten_set_canvas_element_size(kCanvas, width, height);
  const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
      emscripten_webgl_create_context(kCanvas, &attributes);
  if (context <= 0) return nullptr;
  auto graphics =
      std::make_shared<TWebGraphics>(this, context, width, height, depth, hertz, flags);
  emscripten_webgl_make_context_current(context);
  if (!MakeOffscreenPicture(*graphics)) return nullptr;
  return graphics;
}

void TWebGraphicsDriver::SetGraphics(std::shared_ptr<TGraphics> graphics) {
  current = dynamic_cast<TWebGraphics*>(graphics.get());
  if (!current) return;
  emscripten_webgl_make_context_current(current->context);
  glBindFramebuffer(GL_FRAMEBUFFER, current->framebuffer);
}

void TWebGraphicsDriver::Flip(int sync) {
  if (!current) return;
  CopyToCanvas(*current);
  moody_note_presented(emscripten_get_now());
  if (sync) WaitForAnimationFrame();
}

GLuint TWebGraphicsDriver::OffscreenFramebuffer() { return current ? current->framebuffer : 0; }


// The start-up message names what failed to open, and why.
const char* LastDisplayNameTried() { return "the page's WebGL canvas"; }
const char* LastDisplayFailure() { return "WebGL 1 is not available in this browser"; }
