#pragma once
// The hand's motion, worked out from the pointer positions the X server reports. The game puts
// the pointer back in the centre every frame; a report the server made before it carried out
// that warp, but read after it, is measured from where the pointer was before the warp, and
// later reports from the warp's target. So a warp never swallows the motion made just before it,
// and its own report moves nothing.
class PointerMotion {
 public:
  // A warp to (x, y), in window pixels, about to be sent as request number `serial`.
  void Warped(unsigned long serial, int x, int y);
  // The motion made by a report of (x, y) from an event with `serial`; none for the first report
  // after Forget().
  void Reported(unsigned long serial, int x, int y, int* dx, int* dy);
  // The pointer left the window or the focus moved: the next report starts afresh.
  void Forget();

 private:
  struct Place {
    bool known = false;
    int x = 0, y = 0;
  };
  bool _warped = false;
  unsigned long _warp_serial = 0;
  Place _before;  // the last place reported before the warp took effect
  Place _after;   // the last place since
};
