#include "display/desktop/desktop_plan.h"

#include <algorithm>
#include <cmath>

ModeRoute ChooseModeRoute(const DesktopFacts& facts) {
  if (facts.xwayland) return ModeRoute::kNone;
  const int lit = static_cast<int>(facts.monitors.size());
  // With more than one monitor lit the single-mode path would set every CRTC at (0, 0).
  if (facts.randr12 && lit > 1) return ModeRoute::kRandrCrtc;
  if (facts.vidmode) return ModeRoute::kVidMode;
  if (facts.randr12 && lit == 1) return ModeRoute::kRandrCrtc;
  return ModeRoute::kNone;
}

MonitorRect GameMonitor(const DesktopFacts& facts) {
  for (const MonitorFacts& m : facts.monitors) {
    if (m.primary) return m.rect;
  }
  for (const MonitorFacts& m : facts.monitors) {
    if (m.rect.x == 0 && m.rect.y == 0) return m.rect;
  }
  if (!facts.monitors.empty()) return facts.monitors.front().rect;
  return MonitorRect{0, 0, facts.screen_width, facts.screen_height};
}

WindowPlan PlanWindow(const DesktopFacts& facts, bool windowed, int width, int height) {
  WindowPlan plan;
  if (windowed) {
    plan.style = WindowStyle::kWindow;
    plan.area = MonitorRect{0, 0, width, height};
    // The keyboard stays with the window manager, so that its keys can switch away.
    plan.grab_pointer = true;
    return plan;
  }
  plan.area = GameMonitor(facts);
  plan.grab_keyboard = plan.grab_pointer = true;
  if (facts.xwayland) {
    // Only the compositor hands out the keyboard, and only to a window it manages.
    plan.style = WindowStyle::kManagedFullScreen;
    return plan;
  }
  plan.style = WindowStyle::kOverrideFullScreen;
  plan.route = ChooseModeRoute(facts);
  return plan;
}

MonitorRect SwitchedArea(ModeRoute route, const MonitorRect& monitor, int width, int height) {
  if (route == ModeRoute::kRandrCrtc) return MonitorRect{monitor.x, monitor.y, width, height};
  return MonitorRect{0, 0, width, height};
}

SwapControl ChooseSwapControl(bool ext, bool mesa, bool sgi, int interval) {
  if (ext) return SwapControl::kExt;
  if (mesa) return SwapControl::kMesa;
  if (sgi && interval > 0) return SwapControl::kSgi;
  return SwapControl::kNone;
}

namespace {

// The face as the game composes it on its 90x90 canvas, looking straight ahead.
struct Disc {
  double cx, cy, r;
  unsigned rgb;
};
constexpr Disc kFaceParts[] = {
    {45, 45, 45, 0xF1E63F},                          // the yellow face
    {25, 40, 15, 0xFFFFFF},                          // eye whites
    {65, 40, 15, 0xFFFFFF}, {25, 40, 10, 0x000000},  // pupils
    {65, 40, 10, 0x000000},
};
constexpr double kCanvas = 90.0;

// The colour at a canvas point, and whether the face covers it at all.
bool FaceColourAt(double x, double y, unsigned* rgb) {
  bool covered = false;
  for (const Disc& d : kFaceParts) {
    const double dx = x - d.cx, dy = y - d.cy;
    if (dx * dx + dy * dy <= d.r * d.r) {
      *rgb = d.rgb;
      covered = true;
    }
  }
  // The mouth: a short dark line, thick enough to survive the shrinking.
  if (covered && x >= 33 && x <= 57 && y >= 61 && y <= 66) *rgb = 0x000000;
  return covered;
}

}  // namespace

std::vector<unsigned long> FaceIconProperty(const std::vector<int>& sizes) {
  std::vector<unsigned long> property;
  constexpr int kSamples = 4;  // per axis: soft edges at small sizes
  for (int size : sizes) {
    if (size <= 0) continue;
    property.push_back(static_cast<unsigned long>(size));
    property.push_back(static_cast<unsigned long>(size));
    const double step = kCanvas / size;
    for (int py = 0; py < size; ++py) {
      for (int px = 0; px < size; ++px) {
        double r = 0, g = 0, b = 0;
        int hits = 0;
        for (int sy = 0; sy < kSamples; ++sy) {
          for (int sx = 0; sx < kSamples; ++sx) {
            const double x = (px + (sx + 0.5) / kSamples) * step;
            const double y = (py + (sy + 0.5) / kSamples) * step;
            unsigned rgb = 0;
            if (!FaceColourAt(x, y, &rgb)) continue;
            ++hits;
            r += (rgb >> 16) & 0xFF;
            g += (rgb >> 8) & 0xFF;
            b += rgb & 0xFF;
          }
        }
        unsigned long argb = 0;
        if (hits > 0) {
          const auto channel = [hits](double sum) {
            return static_cast<unsigned long>(std::lround(sum / hits)) & 0xFF;
          };
          const unsigned long alpha =
              static_cast<unsigned long>(std::lround(255.0 * hits / (kSamples * kSamples)));
          argb = (alpha << 24) | (channel(r) << 16) | (channel(g) << 8) | channel(b);
        }
        property.push_back(argb);
      }
    }
  }
  return property;
}
