#pragma once
// Pure translation of one X event into the runtime's events, testable without a server.
#include <X11/Xlib.h>

#include <string>
#include <vector>

#include "system/event.h"

// The engine key code for the low byte of an unshifted keysym (Escape -> 27, letters 65..90).
int KeyCodeForKeysymByte(int b);

// What the translator needs from Xlib for a key event: the unshifted keysym (index 0) and the
// bytes XLookupString yields (at most 15).
struct KeyLookup {
  virtual ~KeyLookup() = default;
  virtual KeySym Unshifted(XKeyEvent& event) const = 0;
  virtual std::string Chars(XKeyEvent& event) const = 0;
};

struct Translation {
  std::vector<TEvent> events;
  bool consumed_next = false;  // the following event (an auto-repeat KeyPress) was folded in
};

// `next` is the next pending X event, or nullptr if none is pending. `delete_window_atom` is
// the WM_DELETE_WINDOW atom (0 if unknown).
Translation TranslateXEvent(XEvent& event, XEvent* next, const KeyLookup& keys,
                            Atom delete_window_atom);

// What a FocusIn or FocusOut event of the game's window means for its input. Events about the
// pointer's window (details Pointer, PointerRoot, None) or windows inside it say nothing. A grab
// of our own window, taken or released while it has the focus, shows as a FocusOut and a FocusIn
// of the same mode (Grab or Ungrab) back to back: `next` is the event after this one, if there
// is one, and such a pair is folded into no change (`consumed_next` set). Alone, a FocusOut
// with mode Grab is another client's grab taking the keyboard; a FocusIn with mode Ungrab is
// that grab ending with the focus back on us.
enum class FocusChange { kNone, kLost, kGained };
struct FocusClassification {
  FocusChange change = FocusChange::kNone;
  bool consumed_next = false;
};
FocusClassification ClassifyFocusEvent(const XFocusChangeEvent& event, const XEvent* next);

// Who holds the keyboard focus now, as the server tells it, seen from the game's window. Nobody
// means None, PointerRoot, the root, or a window no one can see or click (unmapped, or off the
// screen: window managers focus such a window to focus "nothing", and do so while restarting).
enum class FocusHolder { kUs, kNobody, kAnotherWindow };
struct FocusFacts {
  Window focus = 0, ours = 0, root = 0;
  bool viewable = false;                    // the focus window and all its ancestors are mapped
  int x = 0, y = 0, width = 0, height = 0;  // its rectangle in root pixels
  int screen_width = 0, screen_height = 0;
};
FocusHolder HolderOfFocus(const FocusFacts& facts);
