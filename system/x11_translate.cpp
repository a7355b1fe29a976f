#include "system/x11_translate.h"

int KeyCodeForKeysymByte(int b) {
  switch (b) {
    case 20:
      return 145;  // Scroll Lock
    case 39:
      return 222;  // '
    case 44:
      return 188;  // ,
    case 45:
      return 189;  // -
    case 46:
      return 190;  // .
    case 47:
      return 191;  // /
    case 59:
      return 186;  // ;
    case 61:
      return 187;  // =
    case 80:
      return 36;  // Home
    case 85:
      return 33;  // Page Up
    case 86:
      return 34;  // Page Down
    case 87:
      return 35;  // End
    case 91:
      return 219;  // [
    case 92:
      return 226;  // backslash
    case 93:
      return 221;  // ]
    case 96:
      return 192;  // `
    case 127:
      return 144;  // Num Lock
    case 141:
      return 13;  // keypad Enter
    case 149:
      return 103;  // keypad 7 (Home)
    case 150:
      return 100;  // keypad 4 (Left)
    case 151:
      return 104;  // keypad 8 (Up)
    case 152:
      return 102;  // keypad 6 (Right)
    case 153:
      return 98;  // keypad 2 (Down)
    case 154:
      return 105;  // keypad 9 (Prior)
    case 155:
      return 99;  // keypad 3 (Next)
    case 156:
      return 97;  // keypad 1 (End)
    case 157:
      return 101;  // keypad 5 (Begin)
    case 158:
      return 96;  // keypad 0 (Insert)
    case 159:
      return 110;  // keypad . (Delete)
    case 170:
      return 106;  // keypad *
    case 171:
      return 107;  // keypad +
    case 173:
      return 109;  // keypad -
    case 175:
      return 111;  // keypad /
    case 233:
      return 164;  // Alt
    case 234:
      return 165;
    case 235:
      return 91;  // Super
    case 236:
      return 92;
    case 255:
      return 46;  // Delete
    default:
      break;
  }
  if (b >= 81 && b <= 84) return b - 44;    // arrows
  if (b >= 97 && b <= 126) return b - 32;   // lower case letters to upper
  if (b >= 190 && b <= 201) return b - 78;  // F1..F12
  if (b >= 225 && b <= 228) return b - 65;  // Shift and Control, left and right
  return b;
}

namespace {
int KeyFor(XKeyEvent& event, const KeyLookup& keys) {
  return KeyCodeForKeysymByte(static_cast<int>(keys.Unshifted(event) & 0xff));
}

void AddChars(Translation& out, XKeyEvent& event, const KeyLookup& keys) {
  for (unsigned char c : keys.Chars(event)) {
    out.events.push_back(TEvent::Create(EventId::KeyChar, nullptr, c, 0, 0, 0));
  }
}

// X buttons 2 (middle) and 3 (right) are the engine's 3 and 2.
int EngineButton(unsigned x_button) {
  switch (x_button) {
    case 1:
      return 1;
    case 2:
      return 3;
    case 3:
      return 2;
    default:
      return 0;
  }
}
}  // namespace

Translation TranslateXEvent(XEvent& event, XEvent* next, const KeyLookup& keys,
                            Atom delete_window_atom) {
  Translation out;
  switch (event.type) {
    case KeyPress: {
      XKeyEvent& k = event.xkey;
      out.events.push_back(TEvent::Create(EventId::KeyDown, nullptr, KeyFor(k, keys), 0, k.x, k.y));
      AddChars(out, k, keys);
      break;
    }
    case KeyRelease: {
      XKeyEvent& k = event.xkey;
      int key = KeyFor(k, keys);
      // Auto-repeat shows up as a release immediately followed by a press of the same key.
      if (next && next->type == KeyPress && next->xkey.keycode == k.keycode) {
        out.events.push_back(TEvent::Create(EventId::KeyRepeat, nullptr, key, 0, k.x, k.y));
        AddChars(out, next->xkey, keys);
        out.consumed_next = true;
      } else {
        out.events.push_back(TEvent::Create(EventId::KeyUp, nullptr, key, 0, k.x, k.y));
      }
      break;
    }
    case ButtonPress: {
      XButtonEvent& b = event.xbutton;
      if (b.button == 4 || b.button == 5) {
        int step = b.button == 4 ? 1 : -1;
        out.events.push_back(TEvent::Create(EventId::MouseWheel, nullptr, step, 0, b.x, b.y));
      } else if (int button = EngineButton(b.button)) {
        out.events.push_back(TEvent::Create(EventId::MouseDown, nullptr, button, 0, b.x, b.y));
      }
      break;
    }
    case ButtonRelease: {
      XButtonEvent& b = event.xbutton;
      if (int button = EngineButton(b.button)) {
        out.events.push_back(TEvent::Create(EventId::MouseUp, nullptr, button, 0, b.x, b.y));
      }
      break;
    }
    case MotionNotify: {
      XMotionEvent& m = event.xmotion;
      out.events.push_back(TEvent::Create(EventId::MouseMove, nullptr, 0, 0, m.x, m.y));
      break;
    }
    case ClientMessage:
      if (delete_window_atom != 0 &&
          static_cast<Atom>(event.xclient.data.l[0]) == delete_window_atom) {
        out.events.push_back(TEvent::Create(EventId::AppTerminate, nullptr, 0, 0, 0, 0));
      }
      break;
    default:
      break;
  }
  return out;
}

namespace {
bool DetailConcernsTheWindow(int detail) {
  switch (detail) {
    case NotifyAncestor:
    case NotifyVirtual:
    case NotifyNonlinear:
    case NotifyNonlinearVirtual:
      return true;
    default:  // NotifyInferior, NotifyPointer, NotifyPointerRoot, NotifyDetailNone
      return false;
  }
}
}  // namespace

FocusClassification ClassifyFocusEvent(const XFocusChangeEvent& event, const XEvent* next) {
  FocusClassification out;
  if (event.type != FocusIn && event.type != FocusOut) return out;
  if (!DetailConcernsTheWindow(event.detail)) return out;
  const bool grab_mode = event.mode == NotifyGrab || event.mode == NotifyUngrab;
  if (event.type == FocusOut && grab_mode && next && next->type == FocusIn &&
      next->xfocus.window == event.window && next->xfocus.mode == event.mode) {
    out.consumed_next = true;  // our own grab or ungrab: the focus stays
    return out;
  }
  switch (event.mode) {
    case NotifyNormal:
    case NotifyWhileGrabbed:
    case NotifyGrab:
    case NotifyUngrab:
      out.change = event.type == FocusIn ? FocusChange::kGained : FocusChange::kLost;
      break;
    default:
      break;
  }
  return out;
}

FocusHolder HolderOfFocus(const FocusFacts& f) {
  if (f.focus == f.ours) return FocusHolder::kUs;
  if (f.focus == None || f.focus == PointerRoot || f.focus == f.root || !f.viewable) {
    return FocusHolder::kNobody;
  }
  const bool on_screen =
      f.x < f.screen_width && f.y < f.screen_height && f.x + f.width > 0 && f.y + f.height > 0;
  return on_screen ? FocusHolder::kAnotherWindow : FocusHolder::kNobody;
}
