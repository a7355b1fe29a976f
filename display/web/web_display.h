#pragma once
// The display in a browser: a WebGL 1 context on the page's 800x600 canvas (#canvas). The game
// draws into an offscreen picture of the requested size; Flip copies it onto the canvas, so the
// page shows exactly the presented frames whenever the browser takes its picture, and with sync
// waits for the browser's next animation frame, as a swap waits for the vertical blank.
#include <GLES2/gl2.h>

#include <memory>

#include "display/graphics.h"

class TWebGraphicsDriver : public TGraphicsDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override;
  // Leaves the offscreen picture bound for drawing; the GL state the copy touched (program,
  // buffer, texture, blending, scissor, viewport) is the caller's to restore.
  void Flip(int sync) override;

  // The current display's offscreen framebuffer (0 when none), for binding it again.
  static GLuint OffscreenFramebuffer();
};
