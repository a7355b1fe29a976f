#include "display/display_math.h"

#include <algorithm>
#include <cmath>
#include <cstring>

int ModeRefreshRate(const VideoModeTiming& mode) {
  if (mode.htotal <= 0 || mode.vtotal <= 0) return 0;
  double hz = static_cast<double>(mode.dotclock_khz) * 1000.0 /
              (static_cast<double>(mode.htotal) * static_cast<double>(mode.vtotal));
  int rate = static_cast<int>(hz + 0.5);
  if (mode.flags & kModeInterlace) rate *= 2;
  if (mode.flags & kModeDoubleScan) rate /= 2;
  return rate;
}

int ChooseVideoMode(const std::vector<VideoModeTiming>& modes, int width, int height, int hertz) {
  int first_of_size = -1;
  for (int i = 0; i < static_cast<int>(modes.size()); ++i) {
    const VideoModeTiming& m = modes[i];
    if (m.hdisplay != width || m.vdisplay != height) continue;
    if (ModeRefreshRate(m) == hertz) return i;
    if (first_of_size < 0) first_of_size = i;
  }
  return first_of_size;
}

PictureRect FitPicture(int window_w, int window_h, int picture_w, int picture_h) {
  PictureRect r;
  if (window_w <= 0 || window_h <= 0 || picture_w <= 0 || picture_h <= 0) return r;
  // Compare the aspects in integers so that an exact fit stays exact.
  if (static_cast<long long>(window_w) * picture_h <=
      static_cast<long long>(window_h) * picture_w) {
    r.w = window_w;
    r.h = static_cast<int>(std::lround(static_cast<double>(window_w) * picture_h / picture_w));
  } else {
    r.h = window_h;
    r.w = static_cast<int>(std::lround(static_cast<double>(window_h) * picture_w / picture_h));
  }
  r.w = std::clamp(r.w, 1, window_w);
  r.h = std::clamp(r.h, 1, window_h);
  r.x = (window_w - r.w) / 2;
  r.y = (window_h - r.h) / 2;
  return r;
}

bool ExtensionListHas(const char* list, const char* word) {
  if (!list) return false;
  const size_t len = std::strlen(word);
  for (const char* p = list; (p = std::strstr(p, word)) != nullptr; p += len) {
    const bool starts = p == list || p[-1] == ' ';
    const bool ends = p[len] == ' ' || p[len] == '\0';
    if (starts && ends) return true;
  }
  return false;
}
