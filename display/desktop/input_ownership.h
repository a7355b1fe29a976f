#pragma once
// The keyboard and pointer grabs follow the focus: the display holds the grabs it wants while its
// window has the focus, gives them back the moment the focus goes (so the rest of the desktop
// can be used) and takes them again when it returns. A grab that another client keeps from us is
// tried again every few flips while focused, so it is never lost for good.
#include <functional>

class GrabPort {
 public:
  virtual ~GrabPort() = default;
  virtual bool GrabKeyboard() = 0;
  virtual bool GrabPointer() = 0;
  virtual void UngrabKeyboard() = 0;
  virtual void UngrabPointer() = 0;
};

// Before anything changes on the screen, another client holding the keyboard (a screen locker,
// or a menu still open) is waited for: up to `attempts` tries, `between` running between two.
// The pointer is tried once the keyboard is had; it may stay with another client for now (a drag,
// or a copy of the game in a window). True once the keyboard is held.
bool WaitForTheKeyboard(GrabPort& port, int attempts, const std::function<void()>& between);

class InputOwnership {
 public:
  static constexpr int kRetryEveryFlips = 30;

  InputOwnership(GrabPort& port, bool want_keyboard, bool want_pointer)
      : _port(port), _want_keyboard(want_keyboard), _want_pointer(want_pointer) {}

  // Right after mapping: up to `attempts` tries for each wanted grab, `between` running between
  // two tries (a short wait: another client may be letting go). Counts as focused if every
  // wanted keyboard grab was had; returns that.
  bool TakeAtStart(int attempts, const std::function<void()>& between);
  void OnFocus(bool focused);
  void OnFlip();  // retries what is missing, every kRetryEveryFlips flips, while focused
  void ReleaseAll();

  bool focused() const { return _focused; }
  bool keyboard_held() const { return _keyboard_held; }
  bool pointer_held() const { return _pointer_held; }

 private:
  void TakeMissing();

  GrabPort& _port;
  bool _want_keyboard, _want_pointer;
  bool _focused = false;
  bool _keyboard_held = false, _pointer_held = false;
  int _flips_since_try = 0;
};
