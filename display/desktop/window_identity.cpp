#include "display/desktop/window_identity.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstring>
#include <vector>

#include "display/desktop/desktop_plan.h"

namespace {

Atom AtomOf(Display* display, const char* name) { return XInternAtom(display, name, False); }

void SetCardinals(Display* display, Window window, const char* property,
                  const std::vector<unsigned long>& values) {
  XChangeProperty(display, window, AtomOf(display, property), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(values.data()),
                  static_cast<int>(values.size()));
}

}  // namespace

void SetWindowIdentity(Display* display, Window window, bool full_screen) {
  XStoreName(display, window, kWindowTitle);
  XChangeProperty(display, window, AtomOf(display, "_NET_WM_NAME"), AtomOf(display, "UTF8_STRING"),
                  8, PropModeReplace, reinterpret_cast<const unsigned char*>(kWindowTitle),
                  static_cast<int>(std::strlen(kWindowTitle)));

  XClassHint class_hint;
  class_hint.res_name = const_cast<char*>(kWindowClassName);
  class_hint.res_class = const_cast<char*>(kWindowClass);
  XSetClassHint(display, window, &class_hint);

  // A process id means something only with the machine it runs on.
  char host[256] = {};
  if (gethostname(host, sizeof host - 1) == 0 && host[0] != '\0') {
    XChangeProperty(display, window, XA_WM_CLIENT_MACHINE, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(host),
                    static_cast<int>(std::strlen(host)));
  }
  SetCardinals(display, window, "_NET_WM_PID", {static_cast<unsigned long>(getpid())});
  SetCardinals(display, window, "_NET_WM_ICON", FaceIconProperty({16, 32, 48, 64}));

  Atom delete_window = AtomOf(display, "WM_DELETE_WINDOW");
  XSetWMProtocols(display, window, &delete_window, 1);

  XWMHints* hints = XAllocWMHints();
  if (hints) {
    hints->flags = InputHint | StateHint;
    hints->input = True;  // the window takes the keyboard focus when offered it
    hints->initial_state = NormalState;
    XSetWMHints(display, window, hints);
    XFree(hints);
  }
  if (full_screen) SetCardinals(display, window, "_NET_WM_BYPASS_COMPOSITOR", {1});
}

void AskForFullScreen(Display* display, Window window) {
  Atom state = AtomOf(display, "_NET_WM_STATE_FULLSCREEN");
  XChangeProperty(display, window, AtomOf(display, "_NET_WM_STATE"), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&state), 1);
}

void SetWindowSizeHints(Display* display, Window window, int width, int height) {
  XSizeHints* hints = XAllocSizeHints();
  if (!hints) return;
  hints->flags = PSize | PMinSize;
  hints->width = width;
  hints->height = height;
  hints->min_width = width / 4;
  hints->min_height = height / 4;
  XSetWMNormalHints(display, window, hints);
  XFree(hints);
}
