#pragma once
// The OpenGL graphics driver over X11/GLX: an 800x600-style full-screen window in a switched
// video mode where the VidMode extension and the mode exist, otherwise a borderless window of the
// screen's size that shows the picture centred and scaled with its aspect kept. Either way the
// drawing layer sees a surface of the requested size with its GLX context current.
#include <memory>

#include "display/graphics.h"

class TGLGraphicsDriver : public TGraphicsDriver {
 public:
  std::shared_ptr<TGraphics> CreateGraphics(int width, int height, int depth, int hertz,
                                            int flags) override;
  void SetGraphics(std::shared_ptr<TGraphics> graphics) override;
  void Flip(int sync) override;
};

// How the current display presents: the switched mode or the scaled picture, and where.
struct DisplayInfo {
  bool open = false;
  bool mode_switched = false;    // the video mode was switched to the requested size
  bool scaled_fallback = false;  // the picture is presented scaled in a screen-sized window
  int window_width = 0, window_height = 0;
  int picture_x = 0, picture_y = 0, picture_w = 0, picture_h = 0;  // where the picture shows
};
DisplayInfo CurrentDisplayInfo();

// The X display that failed to open last, and why, for the start-up error message.
const char* LastDisplayNameTried();
const char* LastDisplayFailure();
