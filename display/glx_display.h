#pragma once
// The platform display: one X window with a GLX context, full screen in a switched video mode
// where possible, otherwise a screen-sized window showing the picture scaled (ScaledPresenter).
#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>

#include "display/display_math.h"
#include "display/scaled_presenter.h"
#include "system/x11_system_driver.h"

enum DisplayKind { kAttachedDisplay = 1, kWindowedDisplay = 2, kFullScreenDisplay = 3 };

class CentredPointerMapping : public PointerMapping {
 public:
  CentredMapping map;
  void WindowToGame(int& x, int& y) const override { map.WindowToGame(x, y); }
  void GameToWindow(int& x, int& y) const override { map.GameToWindow(x, y); }
};

struct GLXDisplayRecord {
  int kind = 0;
  int width = 0, height = 0;  // the picture the game draws
  int depth = 24;             // always reported as 24
  int hertz = 0, flags = 0;
  int sync = -1;                 // swap interval last set; -1 before the first flip
  Display* x_display = nullptr;  // the connection it was made on
  Window window = 0;
  GLXContext context = nullptr;
  Colormap colormap = 0;
  int window_width = 0, window_height = 0;
  bool mode_switched = false;
  bool scaled = false;
  ScaledPresenter presenter;
  CentredPointerMapping pointer_mapping;
  bool closed = false;
};

// nullptr if no display can be opened (no X connection, no GLX, no visual, no context).
std::unique_ptr<GLXDisplayRecord> CreateGLXDisplay(int width, int height, int depth, int hertz,
                                                   int flags);
void CloseGLXDisplay(GLXDisplayRecord* record);  // idempotent
void CloseAllGLXDisplays();  // the exit paths: nothing may stay open or switched
// Makes the record's context current with the viewport on its picture; nullptr releases.
void MakeGLXDisplayCurrent(GLXDisplayRecord* record);
GLXDisplayRecord* CurrentGLXDisplay();
// Presents the current display's back buffer and pumps pending X events.
void FlipGLXDisplay(int sync);

// The X display that was tried last, for the start-up error message.
const char* LastGLXDisplayNameTried();
