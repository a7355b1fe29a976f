#pragma once
// The shader driver on the desktop's X11/GLX display (OpenGL 2.0 or later), drawing into the
// back buffer; a display whose OpenGL is older is not opened.
#include "display/gl_graphics.h"
#include "draw2d/shader_quill2d_driver.h"

class TGLShaderQuill2DDriver : public TShaderQuill2DDriver {
 protected:
  TGraphicsDriver& Surface() override { return _gl; }

 private:
  TGLGraphicsDriver _gl;
};
