#pragma once
// Shows a picture of the game's size in a larger window: the game draws into an offscreen
// framebuffer object of its own size (so reading pixels back sees exactly that surface), and
// each presentation blits it centred, scaled with its aspect kept, onto black bars.
#include "display/display_math.h"

class ScaledPresenter {
 public:
  // Needs the window's GL context current. False if the GL has no framebuffer objects.
  bool Create(int picture_w, int picture_h, int flags, int window_w, int window_h);
  void Destroy();  // context current; safe to call twice
  // The window has a new size: the picture keeps its aspect and stays centred.
  void Resize(int window_w, int window_h);
  // Sends drawing and reading to the picture.
  void BindPicture();
  // Draws the picture into the window's back buffer; the caller swaps, then binds the picture.
  void PresentToWindow();

  const PictureRect& placement() const { return _placement; }
  bool active() const { return _framebuffer != 0; }

 private:
  unsigned _framebuffer = 0;
  unsigned _color_buffer = 0;
  unsigned _depth_stencil_buffer = 0;
  int _picture_w = 0, _picture_h = 0;
  int _window_w = 0, _window_h = 0;
  PictureRect _placement;
};
