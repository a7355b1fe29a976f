#include "system/web/web_clock.h"

TWebClock& WebClock() {
  static TWebClock* clock = new TWebClock;  // never destroyed, as the desktop's real clock
  return *clock;
}

// In a browser the page's clock is the real one: there are no threads to tick timers.
TClock& RealClock() { return WebClock(); }
