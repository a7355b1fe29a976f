#pragma once
// The drawing driver in a browser: the shader driver on WebGL 1, drawing into the web display's
// offscreen picture.
#include "display/web/web_display.h"
#include "draw2d/shader_quill2d_driver.h"

class TWebGLQuill2DDriver : public TShaderQuill2DDriver {
 protected:
  TGraphicsDriver& Surface() override { return _display; }
  GLuint TargetFramebuffer() const override { return TWebGraphicsDriver::OffscreenFramebuffer(); }

 private:
  TWebGraphicsDriver _display;
};
