#pragma once
// The browser's clock: time is the page's own (performance.now), and the frame timer's ticks
// are posted whenever someone looks at the clock, which the browser system driver does at every
// pump; it pumps once per animation frame when the game waits, so the ticks are paced by
// requestAnimationFrame. Ticks due together are merged in the event queue, as on the desktop.
// A sleep yields to the browser.
#include <emscripten.h>

#include "system/virtual_clock.h"

class TWebClock : public TVirtualClock {
 public:
  TWebClock() : TVirtualClock(Now()) {}
  int32_t Millis() override {
    AdvanceTo(Now());
    return TVirtualClock::Millis();
  }
  void SleepMicros(int64_t micros) override {
    emscripten_sleep(static_cast<unsigned>(micros > 0 ? (micros + 999) / 1000 : 0));
    AdvanceTo(Now());
  }
  void OnBufferSwap(int /*sync*/) override {}

 private:
  static int32_t Now() { return static_cast<int32_t>(static_cast<int64_t>(emscripten_get_now())); }
};

// The browser's one clock; RealClock() is this one too.
TWebClock& WebClock();
