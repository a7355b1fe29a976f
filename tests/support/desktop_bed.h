#pragma once
// Setting up and looking at the desktops the display meets: monitors through RandR (lighting a
// second one, choosing the primary), the game's window found by its class, what it shows, the
// pointer's cursor, and typing through XTest. Every call makes a connection of its own.
#include <string>
#include <vector>

struct LitMonitor {
  std::string output;
  int x = 0, y = 0, width = 0, height = 0;
  bool operator==(const LitMonitor&) const = default;
};
// Every lit CRTC, named by its first output, in output-name order.
std::vector<LitMonitor> LitMonitors(const std::string& display);
std::string Describe(const std::vector<LitMonitor>& monitors);

// Lights `output` with the mode `mode_name` to the right of `left_output`, growing the screen.
bool LightMonitorRightOf(const std::string& display, const std::string& output,
                         const std::string& left_output, const std::string& mode_name);
bool SetPrimaryOutput(const std::string& display, const std::string& output);
// Adds the server's mode `mode_name` to, or takes it from, the output's list.
bool AddOutputMode(const std::string& display, const std::string& output,
                   const std::string& mode_name);
bool RemoveOutputMode(const std::string& display, const std::string& output,
                      const std::string& mode_name);

struct GameWindow {
  unsigned long id = 0;
  int x = 0, y = 0, width = 0, height = 0;  // root coordinates
  bool override_redirect = false;
  bool full_screen_state = false;  // _NET_WM_STATE has _NET_WM_STATE_FULLSCREEN
};
// The mapped top-level window of class "Moody", polled for up to timeout_ms; id 0 if none.
GameWindow FindGameWindow(const std::string& display, int timeout_ms = 20000);

// Polls for up to timeout_ms until the window has the keyboard focus.
bool WaitForFocus(const std::string& display, unsigned long window, int timeout_ms = 10000);

struct Blob {
  int count = 0;
  int left = 0, top = 0, right = -1, bottom = -1;  // inclusive, window pixels
  int width() const { return right - left + 1; }
  int height() const { return bottom - top + 1; }
};
// The face's yellow in a window's own pixels (a compositor's root shows nothing).
Blob YellowInWindow(const std::string& display, unsigned long window);

// Whether the cursor the server shows now is invisible (all of it transparent), through XFixes.
bool CursorInvisible(const std::string& display);

// Keyboard and pointer through XTest on `display`.
void TypeEscape(const std::string& display);
void MovePointerBy(const std::string& display, int dx, int dy);
void ClickAt(const std::string& display, int x, int y);
// Sends the window manager's close request (WM_DELETE_WINDOW) to a window.
void AskToClose(const std::string& display, unsigned long window);
