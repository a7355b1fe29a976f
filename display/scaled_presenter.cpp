#include "display/scaled_presenter.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glx.h>

#include <cstdlib>

#include "display/display_math.h"

namespace {

// Framebuffer-object entry points, core or EXT, looked up once a context is current.
struct FramebufferProcs {
  PFNGLGENFRAMEBUFFERSPROC GenFramebuffers = nullptr;
  PFNGLDELETEFRAMEBUFFERSPROC DeleteFramebuffers = nullptr;
  PFNGLBINDFRAMEBUFFERPROC BindFramebuffer = nullptr;
  PFNGLGENRENDERBUFFERSPROC GenRenderbuffers = nullptr;
  PFNGLDELETERENDERBUFFERSPROC DeleteRenderbuffers = nullptr;
  PFNGLBINDRENDERBUFFERPROC BindRenderbuffer = nullptr;
  PFNGLRENDERBUFFERSTORAGEPROC RenderbufferStorage = nullptr;
  PFNGLFRAMEBUFFERRENDERBUFFERPROC FramebufferRenderbuffer = nullptr;
  PFNGLCHECKFRAMEBUFFERSTATUSPROC CheckFramebufferStatus = nullptr;
  PFNGLBLITFRAMEBUFFERPROC BlitFramebuffer = nullptr;
  bool loaded = false;
};

FramebufferProcs procs;

bool HasExtension(const char* name) {
  return ExtensionListHas(reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS)), name);
}

template <class F>
bool Load(F& slot, const char* core, const char* ext, bool use_core) {
  const char* name = use_core ? core : ext;
  slot = reinterpret_cast<F>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
  return slot != nullptr;
}

bool LoadFramebufferProcs() {
  if (procs.loaded) return true;
  const char* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
  bool core = (version && std::atoi(version) >= 3) || HasExtension("GL_ARB_framebuffer_object");
  if (!core &&
      !(HasExtension("GL_EXT_framebuffer_object") && HasExtension("GL_EXT_framebuffer_blit"))) {
    return false;
  }
  FramebufferProcs p;
  bool ok =
      Load(p.GenFramebuffers, "glGenFramebuffers", "glGenFramebuffersEXT", core) &&
      Load(p.DeleteFramebuffers, "glDeleteFramebuffers", "glDeleteFramebuffersEXT", core) &&
      Load(p.BindFramebuffer, "glBindFramebuffer", "glBindFramebufferEXT", core) &&
      Load(p.GenRenderbuffers, "glGenRenderbuffers", "glGenRenderbuffersEXT", core) &&
      Load(p.DeleteRenderbuffers, "glDeleteRenderbuffers", "glDeleteRenderbuffersEXT", core) &&
      Load(p.BindRenderbuffer, "glBindRenderbuffer", "glBindRenderbufferEXT", core) &&
      Load(p.RenderbufferStorage, "glRenderbufferStorage", "glRenderbufferStorageEXT", core) &&
      Load(p.FramebufferRenderbuffer, "glFramebufferRenderbuffer", "glFramebufferRenderbufferEXT",
           core) &&
      Load(p.CheckFramebufferStatus, "glCheckFramebufferStatus", "glCheckFramebufferStatusEXT",
           core) &&
      Load(p.BlitFramebuffer, "glBlitFramebuffer", "glBlitFramebufferEXT", core);
  if (!ok) return false;
  p.loaded = true;
  procs = p;
  return true;
}

}  // namespace

bool ScaledPresenter::Create(int picture_w, int picture_h, int flags, int window_w, int window_h) {
  Destroy();
  if (!LoadFramebufferProcs()) return false;
  _picture_w = picture_w;
  _picture_h = picture_h;
  _window_w = window_w;
  _window_h = window_h;
  _placement = FitPicture(window_w, window_h, picture_w, picture_h);

  while (glGetError() != GL_NO_ERROR) {
  }
  procs.GenFramebuffers(1, &_framebuffer);
  procs.BindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
  procs.GenRenderbuffers(1, &_color_buffer);
  procs.BindRenderbuffer(GL_RENDERBUFFER, _color_buffer);
  procs.RenderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, picture_w, picture_h);
  procs.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                _color_buffer);
  if (flags & (8 | 16)) {  // a depth or stencil buffer was asked for
    procs.GenRenderbuffers(1, &_depth_stencil_buffer);
    procs.BindRenderbuffer(GL_RENDERBUFFER, _depth_stencil_buffer);
    procs.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH24_STENCIL8, picture_w, picture_h);
    procs.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                  _depth_stencil_buffer);
    procs.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_STENCIL_ATTACHMENT, GL_RENDERBUFFER,
                                  _depth_stencil_buffer);
  }
  procs.BindRenderbuffer(GL_RENDERBUFFER, 0);
  bool complete = procs.CheckFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
                  glGetError() == GL_NO_ERROR;
  if (!complete) {
    Destroy();
    return false;
  }
  return true;
}

void ScaledPresenter::Destroy() {
  if (!procs.loaded) return;
  if (_framebuffer || _color_buffer || _depth_stencil_buffer) {
    procs.BindFramebuffer(GL_FRAMEBUFFER, 0);
  }
  if (_framebuffer) procs.DeleteFramebuffers(1, &_framebuffer);
  if (_color_buffer) procs.DeleteRenderbuffers(1, &_color_buffer);
  if (_depth_stencil_buffer) procs.DeleteRenderbuffers(1, &_depth_stencil_buffer);
  _framebuffer = _color_buffer = _depth_stencil_buffer = 0;
}

void ScaledPresenter::Resize(int window_w, int window_h) {
  _window_w = window_w;
  _window_h = window_h;
  _placement = FitPicture(window_w, window_h, _picture_w, _picture_h);
}

void ScaledPresenter::BindPicture() {
  if (_framebuffer) procs.BindFramebuffer(GL_FRAMEBUFFER, _framebuffer);
}

void ScaledPresenter::PresentToWindow() {
  if (!_framebuffer) return;
  // The game's scissor and clear colour must not shape the bars or the blit.
  GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
  GLfloat clear[4];
  glGetFloatv(GL_COLOR_CLEAR_VALUE, clear);
  glDisable(GL_SCISSOR_TEST);

  procs.BindFramebuffer(GL_READ_FRAMEBUFFER, _framebuffer);
  procs.BindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClear(GL_COLOR_BUFFER_BIT);
  // GL rows count from the bottom of the window.
  const PictureRect& r = _placement;
  int bottom = _window_h - (r.y + r.h);
  procs.BlitFramebuffer(0, 0, _picture_w, _picture_h, r.x, bottom, r.x + r.w, bottom + r.h,
                        GL_COLOR_BUFFER_BIT, GL_LINEAR);

  glClearColor(clear[0], clear[1], clear[2], clear[3]);
  if (scissor) glEnable(GL_SCISSOR_TEST);
}
