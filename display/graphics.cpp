#include "display/graphics.h"

#include <cstdlib>

#include "draw2d/draw_digest.h"
#include "system/clock.h"
#include "system/event.h"
#include "system/polled_input.h"
#include "system/system_driver.h"

namespace {

TGraphicsDriver* graphics_driver = nullptr;
int default_graphics_flags = 0;

// Plain pointers to heap objects: these must still be usable from the exit handler, after
// static destructors may have run.
std::shared_ptr<TGraphics>* current_graphics = new std::shared_ptr<TGraphics>();
std::shared_ptr<TGraphics>* opened_graphics = new std::shared_ptr<TGraphics>();
HookChain<const int>* flip_hooks = new HookChain<const int>();

int settings_width = 0, settings_height = 0, settings_depth = 0, settings_hertz = 0,
    settings_flags = 0;
int display_sequence = 0;

bool soft_sync = false;
int pacing_hertz = 0;
int pacing_period = 0;     // whole milliseconds per frame
int pacing_remainder = 0;  // milliseconds per second the period leaves over
int pacing_accumulator = 0;
int32_t next_flip_time = 0;

bool exit_close_registered = false;

// Soft-sync measuring: a frozen clock (a virtual one whose swaps cost nothing) would never reach
// the time limit, so the number of flips is bounded too.
constexpr int kMeasureMillis = 1000;
constexpr int kMeasureMaxFlips = 1000;
constexpr int kGoodFlipsForVSync = 3;
// A swap that returns within half a refresh period has not waited for a vertical blank. A driver
// that lets a few frames queue up before it blocks answers a handful of swaps quickly, never this
// many in a row: after them the answer is certain and the rest of the second would only repeat it
// (where swaps cannot wait at all, as under a software renderer, that is most of the start-up).
constexpr int kFastFlipsForNoVSync = 12;

void NextSequence() {
  // Wraps through the negatives like a 32-bit counter and skips 0, which means "no display".
  display_sequence = static_cast<int>(static_cast<unsigned>(display_sequence) + 1u);
  if (display_sequence == 0) display_sequence = 1;
}

void MakeGraphicsCurrent(const std::shared_ptr<TGraphics>& g) {
  *current_graphics = g;
  if (g) {
    // Read before the driver makes it current: the drawing layer asks for the size meanwhile.
    g->GetSettings(settings_width, settings_height, settings_depth, settings_hertz, settings_flags);
  } else {
    settings_width = settings_height = settings_depth = settings_hertz = settings_flags = 0;
  }
  if (graphics_driver) graphics_driver->SetGraphics(g);
  if (g) {
    g->GetSettings(settings_width, settings_height, settings_depth, settings_hertz, settings_flags);
  }
}

// Three swaps in a row that each took one refresh period mean the hardware paces the flips; a
// run of swaps far quicker than a period means it does not.
bool HardwareSyncMeasured(int hertz) {
  const int period = 1000 / hertz;
  const int32_t start = ClockMillis();
  int good = 0, fast = 0;
  for (int flips = 0; flips < kMeasureMaxFlips && ClockMillis() - start < kMeasureMillis; ++flips) {
    int32_t t0 = ClockMillis();
    graphics_driver->Flip(1);
    const int took = ClockMillis() - t0;
    const int d = took - period;
    if (d >= -1 && d <= 1) {
      if (++good >= kGoodFlipsForVSync) return true;
    } else {
      good = 0;
    }
    if (2 * took < period) {
      if (++fast >= kFastFlipsForNoVSync) return false;
    } else {
      fast = 0;
    }
  }
  return false;
}

void CloseAtExit() { CloseGraphics(); }

}  // namespace

void SetGraphicsDriver(TGraphicsDriver* driver, int default_flags) {
  graphics_driver = driver;
  default_graphics_flags = driver ? default_flags : 0;
}

TGraphicsDriver* GetGraphicsDriver() { return graphics_driver; }

std::shared_ptr<TGraphics> OpenGraphics(int width, int height, int depth, int hertz, int flags) {
  CloseGraphics();
  if (!graphics_driver) return nullptr;

  std::shared_ptr<TGraphics> g =
      graphics_driver->CreateGraphics(width, height, depth, hertz, flags | default_graphics_flags);
  if (!g) return nullptr;
  NextSequence();
  MakeGraphicsCurrent(g);

  soft_sync = hertz != 0;
  if (hertz != 0 && depth != 0 && HardwareSyncMeasured(hertz)) soft_sync = false;

  pacing_hertz = hertz;
  if (hertz != 0) {
    pacing_period = 1000 / hertz;
    pacing_remainder = 1000 - pacing_period * hertz;
  } else {
    pacing_period = pacing_remainder = 0;
  }
  pacing_accumulator = 0;
  next_flip_time = ClockMillis();

  *opened_graphics = g;
  if (depth != 0) MoveMouse(width / 2, height / 2);
  if (!PolledInputRunning()) StartPolledInput(nullptr);
  // Polled input reports the centre from the start: the warp's own motion comes back from the
  // server only at a later pump, and may be dropped while the window's focus is settling.
  if (depth != 0) TEvent::Create(EventId::MouseMove, nullptr, 0, 0, width / 2, height / 2).Emit();
  if (!exit_close_registered) {
    exit_close_registered = true;
    std::atexit(CloseAtExit);
  }
  return g;
}

void CloseGraphics() {
  std::shared_ptr<TGraphics> g = *opened_graphics;
  if (!g) return;
  opened_graphics->reset();
  NextSequence();
  StopPolledInput();
  if (*current_graphics == g) {
    current_graphics->reset();
    settings_width = settings_height = settings_depth = settings_hertz = settings_flags = 0;
  }
  g->Close();
}

std::shared_ptr<TGraphics> CurrentGraphics() { return *current_graphics; }

namespace {
void PresentFrame(int sync) {
  if (!graphics_driver) return;
  if (sync == -1) {
    if (*current_graphics && *current_graphics == *opened_graphics && soft_sync) {
      next_flip_time += pacing_period;
      pacing_accumulator += pacing_remainder;
      if (pacing_accumulator >= pacing_hertz) {
        pacing_accumulator -= pacing_hertz;
        next_flip_time += 1;
      }
      const int32_t now = ClockMillis();
      int32_t wait = next_flip_time - now;
      if (wait > pacing_period + 1) {
        // Only a clock gone back puts the next flip further than a period away: go on from now.
        next_flip_time = now + pacing_period;
        wait = pacing_period;
      }
      if (wait <= 0) {
        next_flip_time = now;  // behind: no catching up
      } else {
        Delay(wait);
      }
      graphics_driver->Flip(0);
      return;
    }
    sync = settings_depth != 0 ? 1 : 0;
  }
  graphics_driver->Flip(sync);
}
}  // namespace

void Flip(int sync) {
  DigestDrawCall(DrawOp::kFlip, {double(sync)});  // how the frame is to be shown is asked too
  flip_hooks->Run(sync);
  PresentFrame(sync);
  // The input of the next frame is what has come in by the time this one is on the screen.
  SampleFrameInput();
}

int GraphicsWidth() { return settings_width; }
int GraphicsHeight() { return settings_height; }
int GraphicsDepth() { return settings_depth; }
int GraphicsHertz() { return settings_hertz; }
int GraphicsFlags() { return settings_flags; }
bool SoftSyncEnabled() { return soft_sync; }
int DisplaySequence() { return display_sequence; }

HookChain<const int>& FlipHooks() { return *flip_hooks; }
