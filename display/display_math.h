#pragma once
// The arithmetic of the display, kept free of X: refresh rates and the choice of a video mode,
// where a scaled picture goes in a larger window, and how pointer positions map between the two.
#include <vector>

struct VideoModeTiming {
  int dotclock_khz = 0;
  int hdisplay = 0, htotal = 0;
  int vdisplay = 0, vtotal = 0;
  unsigned flags = 0;  // mode line flags (interlace, double scan)
};

constexpr unsigned kModeInterlace = 0x010;
constexpr unsigned kModeDoubleScan = 0x020;

// Whole hertz, rounded; doubled for an interlaced mode, halved for a double-scan one.
int ModeRefreshRate(const VideoModeTiming& mode);

// Index of the first mode of that size at that refresh rate, else of the first of that size;
// -1 if there is none.
int ChooseVideoMode(const std::vector<VideoModeTiming>& modes, int width, int height, int hertz);

// Whether a space-separated extension list (GL or GLX) names `word` exactly.
bool ExtensionListHas(const char* list, const char* word);

struct PictureRect {
  int x = 0, y = 0, w = 0, h = 0;  // window pixels, y down
};

// The largest rectangle of the picture's aspect that fits the window, centred in it.
PictureRect FitPicture(int window_w, int window_h, int picture_w, int picture_h);

// Pointer positions relative to the centres, one to one: a motion of n window pixels is n game
// pixels, whatever the scale, so no motion is lost to rounding.
struct CentredMapping {
  int window_cx = 0, window_cy = 0;
  int game_cx = 0, game_cy = 0;
  void WindowToGame(int& x, int& y) const {
    x = game_cx + (x - window_cx);
    y = game_cy + (y - window_cy);
  }
  void GameToWindow(int& x, int& y) const {
    x = window_cx + (x - game_cx);
    y = window_cy + (y - game_cy);
  }
};
