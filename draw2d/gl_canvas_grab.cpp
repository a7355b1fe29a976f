// The grab's copy and mask pass on the GPU.
#include "draw2d/gl_canvas_grab.h"

#include <GL/glext.h>
#include <GL/glx.h>
#include <GL/glxext.h>

#include <algorithm>
#include <cstdlib>

#include "display/display_math.h"
#include "display/graphics.h"

namespace {

// Entry points beyond OpenGL 1.x, looked up once a context is current.
struct GrabProcs {
  PFNGLCREATESHADERPROC CreateShader = nullptr;
  PFNGLSHADERSOURCEPROC ShaderSource = nullptr;
  PFNGLCOMPILESHADERPROC CompileShader = nullptr;
  PFNGLGETSHADERIVPROC GetShaderiv = nullptr;
  PFNGLDELETESHADERPROC DeleteShader = nullptr;
  PFNGLCREATEPROGRAMPROC CreateProgram = nullptr;
  PFNGLATTACHSHADERPROC AttachShader = nullptr;
  PFNGLLINKPROGRAMPROC LinkProgram = nullptr;
  PFNGLGETPROGRAMIVPROC GetProgramiv = nullptr;
  PFNGLDELETEPROGRAMPROC DeleteProgram = nullptr;
  PFNGLUSEPROGRAMPROC UseProgram = nullptr;
  PFNGLGETUNIFORMLOCATIONPROC GetUniformLocation = nullptr;
  PFNGLUNIFORM1IPROC Uniform1i = nullptr;
  PFNGLUNIFORM2IPROC Uniform2i = nullptr;
  PFNGLUNIFORM3IPROC Uniform3i = nullptr;
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
  PFNGLFRAMEBUFFERTEXTURE2DPROC FramebufferTexture2D = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
};

GrabProcs gp;

template <class F>
bool Load(F& slot, const char* name) {
  slot = reinterpret_cast<F>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
  return slot != nullptr;
}

bool LoadProcs() {
  return Load(gp.CreateShader, "glCreateShader") && Load(gp.ShaderSource, "glShaderSource") &&
         Load(gp.CompileShader, "glCompileShader") && Load(gp.GetShaderiv, "glGetShaderiv") &&
         Load(gp.DeleteShader, "glDeleteShader") && Load(gp.CreateProgram, "glCreateProgram") &&
         Load(gp.AttachShader, "glAttachShader") && Load(gp.LinkProgram, "glLinkProgram") &&
         Load(gp.GetProgramiv, "glGetProgramiv") && Load(gp.DeleteProgram, "glDeleteProgram") &&
         Load(gp.UseProgram, "glUseProgram") &&
         Load(gp.GetUniformLocation, "glGetUniformLocation") && Load(gp.Uniform1i, "glUniform1i") &&
         Load(gp.Uniform2i, "glUniform2i") && Load(gp.Uniform3i, "glUniform3i") &&
         Load(gp.GenFramebuffers, "glGenFramebuffers") &&
         Load(gp.BindFramebuffer, "glBindFramebuffer") &&
         Load(gp.FramebufferTexture2D, "glFramebufferTexture2D") &&
         Load(gp.CheckFramebufferStatus, "glCheckFramebufferStatus");
}

// The quad is given in clip coordinates: the viewport alone says which texels are written.
const char* const kVertexShader = R"(#version 130
void main() { gl_Position = gl_Vertex; }
)";

// One texel of the destination per fragment. Colours are handled as integers 0..255 so the
// neighbours' average truncates exactly as the pixmap route's integer division does; v / 255.0
// written to an 8-bit target is v again.
const char* const kFragmentShader = R"(#version 130
uniform sampler2D source;  // the grabbed rectangle, bottom row first
uniform ivec2 size;        // its width and height
uniform ivec3 mask;
uniform bool masked;

ivec4 Pixel(ivec2 p) {  // p counts rows from the top
  return ivec4(round(texelFetch(source, ivec2(p.x, size.y - 1 - p.y), 0) * 255.0));
}

void main() {
  // The column and row past the image repeat its last column and row.
  ivec2 p = min(ivec2(gl_FragCoord.xy), size - 1);
  ivec4 c = Pixel(p);
  if (!masked) {
    gl_FragColor = vec4(c) / 255.0;
  } else if (c.rgb != mask) {
    gl_FragColor = vec4(vec3(c.rgb) / 255.0, 1.0);
  } else {
    ivec3 sum = ivec3(0);
    int count = 0;
    for (int dy = -1; dy <= 1; ++dy) {
      for (int dx = -1; dx <= 1; ++dx) {
        ivec2 q = p + ivec2(dx, dy);
        if (any(lessThan(q, ivec2(0))) || any(greaterThanEqual(q, size))) continue;
        ivec3 n = Pixel(q).rgb;
        if (n != mask) {
          sum += n;
          ++count;
        }
      }
    }
    ivec3 average = count > 0 ? sum / count : ivec3(0);
    gl_FragColor = vec4(vec3(average) / 255.0, 0.0);
  }
}
)";

GLuint Compile(GLenum kind, const char* text) {
  GLuint shader = gp.CreateShader(kind);
  if (!shader) return 0;
  gp.ShaderSource(shader, 1, &text, nullptr);
  gp.CompileShader(shader);
  GLint ok = GL_FALSE;
  gp.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (ok != GL_TRUE) {
    gp.DeleteShader(shader);
    return 0;
  }
  return shader;
}

GLuint LinkProgram() {
  GLuint vs = Compile(GL_VERTEX_SHADER, kVertexShader);
  GLuint fs = vs ? Compile(GL_FRAGMENT_SHADER, kFragmentShader) : 0;
  GLuint program = fs ? gp.CreateProgram() : 0;
  if (program) {
    gp.AttachShader(program, vs);
    gp.AttachShader(program, fs);
    gp.LinkProgram(program);
    GLint ok = GL_FALSE;
    gp.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (ok != GL_TRUE) {
      gp.DeleteProgram(program);
      program = 0;
    }
  }
  // Attached shaders live on with the program.
  if (vs) gp.DeleteShader(vs);
  if (fs) gp.DeleteShader(fs);
  return program;
}

}  // namespace

bool RendererIsSoftware() {
  Display* display = glXGetCurrentDisplay();
  if (!display || !glXGetCurrentContext()) return false;
  const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
  if (!ExtensionListHas(extensions, "GLX_MESA_query_renderer")) return false;
  auto query = reinterpret_cast<PFNGLXQUERYCURRENTRENDERERINTEGERMESAPROC>(
      glXGetProcAddress(reinterpret_cast<const GLubyte*>("glXQueryCurrentRendererIntegerMESA")));
  unsigned accelerated = 1;
  return query && query(GLX_RENDERER_ACCELERATED_MESA, &accelerated) && accelerated == 0;
}

bool GLCanvasGrabber::Available() {
  if (_seq != DisplaySequence()) {
    // A new display: its context has none of the objects of the last one.
    *this = GLCanvasGrabber();
    _seq = DisplaySequence();
    _available = Setup();
  }
  return _available;
}

bool GLCanvasGrabber::Setup() {
  if (!glXGetCurrentContext()) return false;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  if (!version || std::atoi(version) < 3 || !LoadProcs()) return false;
  while (glGetError() != GL_NO_ERROR) {
  }
  _program = LinkProgram();
  if (!_program) return false;
  _size_at = gp.GetUniformLocation(_program, "size");
  _mask_at = gp.GetUniformLocation(_program, "mask");
  _masked_at = gp.GetUniformLocation(_program, "masked");
  GLint source_at = gp.GetUniformLocation(_program, "source");
  gp.UseProgram(_program);
  gp.Uniform1i(source_at, 0);
  gp.UseProgram(0);

  GLint bound = 0;
  glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
  glGenTextures(1, &_scratch);
  glBindTexture(GL_TEXTURE_2D, _scratch);
  // texelFetch needs a complete texture: one level, no mipmap filter.
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
  glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(bound));
  gp.GenFramebuffers(1, &_framebuffer);
  return _framebuffer != 0 && glGetError() == GL_NO_ERROR;
}

void GLCanvasGrabber::Forget(GLuint texture) {
  if (texture != 0 && texture == _attached) _attached = 0;
}

bool GLCanvasGrabber::Grab(GLuint texture, int tex_w, int tex_h, int x, int y, int w, int h,
                           const int* mask, int surface_w, int surface_h) {
  if (!Available() || w <= 0 || h <= 0) return false;

  // The rectangle into the scratch texture, which only ever grows.
  glBindTexture(GL_TEXTURE_2D, _scratch);
  if (w > _scratch_w || h > _scratch_h) {
    _scratch_w = std::max(w, _scratch_w);
    _scratch_h = std::max(h, _scratch_h);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, _scratch_w, _scratch_h, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 nullptr);
  }
  glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, x, surface_h - h - y, w, h);

  GLint draw_fb = 0, read_fb = 0;
  glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &draw_fb);
  glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &read_fb);
  gp.BindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
  if (_attached != texture) {
    gp.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    if (gp.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
      gp.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, 0, 0);
      _attached = 0;
      gp.BindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_fb));
      gp.BindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_fb));
      return false;
    }
    _attached = texture;
  }

  // Every texel written as computed: nothing of the game's render state may reach the pass.
  const bool scissor = glIsEnabled(GL_SCISSOR_TEST);
  const bool blend = glIsEnabled(GL_BLEND);
  const bool alpha_test = glIsEnabled(GL_ALPHA_TEST);
  if (scissor) glDisable(GL_SCISSOR_TEST);
  if (blend) glDisable(GL_BLEND);
  if (alpha_test) glDisable(GL_ALPHA_TEST);
  glViewport(0, 0, std::min(w + 1, tex_w), std::min(h + 1, tex_h));

  gp.UseProgram(_program);
  if (_size[0] != w || _size[1] != h) {
    gp.Uniform2i(_size_at, w, h);
    _size[0] = w;
    _size[1] = h;
  }
  const int want_masked = mask ? 1 : 0;
  if (_masked != want_masked) {
    gp.Uniform1i(_masked_at, want_masked);
    _masked = want_masked;
  }
  if (mask && (_mask[0] != mask[0] || _mask[1] != mask[1] || _mask[2] != mask[2])) {
    gp.Uniform3i(_mask_at, mask[0], mask[1], mask[2]);
    std::copy(mask, mask + 3, _mask);
  }
  glRectf(-1.0f, -1.0f, 1.0f, 1.0f);
  gp.UseProgram(0);

  glViewport(0, 0, surface_w, surface_h);
  if (alpha_test) glEnable(GL_ALPHA_TEST);
  if (blend) glEnable(GL_BLEND);
  if (scissor) glEnable(GL_SCISSOR_TEST);
  if (draw_fb == read_fb) {
    gp.BindFramebuffer(GL_FRAMEBUFFER, static_cast<GLuint>(draw_fb));
  } else {
    gp.BindFramebuffer(GL_DRAW_FRAMEBUFFER, static_cast<GLuint>(draw_fb));
    gp.BindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(read_fb));
  }
  return true;
}
