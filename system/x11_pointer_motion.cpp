#include "system/x11_pointer_motion.h"

void PointerMotion::Warped(unsigned long serial, int x, int y) {
  _before = _after;
  _after = Place{true, x, y};
  _warped = true;
  _warp_serial = serial;
}

void PointerMotion::Reported(unsigned long serial, int x, int y, int* dx, int* dy) {
  // Serials wrap around: the difference tells which came first.
  const bool before_warp = _warped && static_cast<long>(serial - _warp_serial) < 0;
  Place& last = before_warp ? _before : _after;
  *dx = last.known ? x - last.x : 0;
  *dy = last.known ? y - last.y : 0;
  last = Place{true, x, y};
}

void PointerMotion::Forget() { *this = PointerMotion{}; }
