#include "display/x11_error_trap.h"

namespace {

// Xlib's error handler is process-wide; a nested trap saves the flag of the one outside.
bool trapped_error = false;

int RecordError(Display*, XErrorEvent*) {
  trapped_error = true;
  return 0;
}

}  // namespace

XErrorTrap::XErrorTrap(Display* display) : display_(display), outer_failed_(trapped_error) {
  XSync(display_, False);
  trapped_error = false;
  previous_ = XSetErrorHandler(RecordError);
}

XErrorTrap::~XErrorTrap() {
  XSync(display_, False);
  XSetErrorHandler(previous_);
  trapped_error = outer_failed_;  // the inner trap has dealt with its own errors
}

bool XErrorTrap::Failed() {
  XSync(display_, False);
  return trapped_error;
}
