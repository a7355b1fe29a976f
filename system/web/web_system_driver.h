#pragma once
// The system driver in a browser: the page's pointer-lock motion, left button and Escape, and
// the frame timer on the page's clock. Waiting yields to the browser until its next animation
// frame (the program is built with Asyncify, so the stage loops block there as on the desktop).
#include "system/system_driver.h"
#include "system/web/web_clock.h"
#include "system/web/web_input.h"

class TWebSystemDriver : public TSystemDriver {
 public:
  // Listens to the page's document: motion, buttons and keys, and pointer-lock changes.
  TWebSystemDriver(TWebClock& clock, int width, int height);
  void Poll() override;
  void Wait() override;
  void MoveMouse(int x, int y) override { _input.Warp(x, y); }
  // The page hides the system pointer while it holds the lock; there is nothing else to hide.
  void SetMouseVisible(bool /*visible*/) override {}

 private:
  TWebClock& _clock;
  WebInput _input;
};
