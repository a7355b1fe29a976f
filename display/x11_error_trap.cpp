#include "display/x11_error_trap.h"

namespace {

// Xlib's error handler is process-wide; a nested trap saves the flag of the one outside.
bool trapped_error = false;

int RecordError(Display*, XErrorEvent*) {
  trapped_error = true;
  return 0;
}

}  // namespace

XErrorTrap::XErrorTrap(Display* display) : _display(display) {
  // Errors of requests made before this trap belong to the trap outside, if any.
  XSync(_display, False);
  _outer_failed = trapped_error;
  trapped_error = false;
  _previous = XSetErrorHandler(RecordError);
}

XErrorTrap::~XErrorTrap() {
  XSync(_display, False);
  XSetErrorHandler(_previous);
  trapped_error = _outer_failed;  // the inner trap has dealt with its own errors
}

bool XErrorTrap::Failed() {
  XSync(_display, False);
  return trapped_error;
}
