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
  // Sends drawing and reading to the picture.
  void BindPicture();
  // Draws the picture into the window's back buffer; the caller swaps, then binds the picture.
  void PresentToWindow();

  const PictureRect& placement() const { return placement_; }
  bool active() const { return framebuffer_ != 0; }

 private:
  unsigned framebuffer_ = 0;
  unsigned color_buffer_ = 0;
  unsigned depth_stencil_buffer_ = 0;
  int picture_w_ = 0, picture_h_ = 0;
  int window_w_ = 0, window_h_ = 0;
  PictureRect placement_;
};
