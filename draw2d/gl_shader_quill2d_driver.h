#pragma once
// The shader driver on the desktop's X11/GLX display (OpenGL 2.0 or later), drawing into the
// back buffer; a display whose OpenGL is older is not opened. Not the program's driver: it draws
// the same pixels as the fixed-function one (every pixel test, and the browser test's frames byte
// for byte) and costs about the same a frame under llvmpipe (within the frame-cost bench's spread
// from run to run), but it reads every changed face canvas back where the fixed-function driver
// grabs it on a hardware GPU. The pixel tests, the frame-cost bench and the browser test's
// desktop side take it with MOODY_GL_DRIVER=shader, to measure the two again.
#include "display/gl_graphics.h"
#include "draw2d/shader_quill2d_driver.h"

class TGLShaderQuill2DDriver : public TShaderQuill2DDriver {
 protected:
  TGraphicsDriver& Surface() override { return _gl; }

 private:
  TGLGraphicsDriver _gl;
};
