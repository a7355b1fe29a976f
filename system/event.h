#pragma once
// The runtime's own events. Every input event and timer tick is emitted through one hook chain,
// on which the polled-input state (priority 0) and the event queue (priority -10000) listen.
#include <memory>
#include <string>

#include "system/hooks.h"

struct EventId {
  static constexpr int AppSuspend = 257;
  static constexpr int AppResume = 258;
  static constexpr int AppTerminate = 259;
  static constexpr int AppOpenFile = 260;
  static constexpr int AppIdle = 261;
  static constexpr int KeyDown = 513;
  static constexpr int KeyUp = 514;
  static constexpr int KeyChar = 515;
  static constexpr int KeyRepeat = 516;
  static constexpr int MouseDown = 1025;
  static constexpr int MouseUp = 1026;
  static constexpr int MouseMove = 1027;
  static constexpr int MouseWheel = 1028;
  static constexpr int MouseEnter = 1029;
  static constexpr int MouseLeave = 1030;
  static constexpr int TimerTick = 2049;
  static constexpr int HotkeyHit = 4097;
  static constexpr int GadgetAction = 8193;
  static constexpr int GadgetPaint = 8194;
  static constexpr int GadgetSelect = 8195;
  static constexpr int GadgetMenu = 8196;
  static constexpr int GadgetOpen = 8197;
  static constexpr int GadgetClose = 8198;
  static constexpr int GadgetDone = 8199;
  static constexpr int GadgetLostFocus = 8200;
  static constexpr int GadgetShape = 8201;
  static constexpr int WindowMove = 16385;
  static constexpr int WindowSize = 16386;
  static constexpr int WindowClose = 16387;
  static constexpr int WindowActivate = 16388;
  static constexpr int WindowAccept = 16389;
  static constexpr int MenuAction = 32769;
  static constexpr int StreamEof = 65537;
  static constexpr int StreamAvail = 65538;
  static constexpr int ProcessExit = 131073;
};

struct TEvent {
  int id = 0;
  const void* source = nullptr;  // identity of the emitter (a timer), or none
  int data = 0;
  int mods = 0;
  int x = 0;
  int y = 0;
  std::shared_ptr<void> extra;

  static TEvent Create(int id, const void* source, int data, int mods, int x, int y,
                       std::shared_ptr<void> extra = nullptr);
  void Emit() const;  // runs the emit-event hook chain with this event
  std::string ToString() const;

  static int AllocUserId();
  static void RegisterId(int id, const std::string& name);
  static std::string DescriptionForId(int id);
};

HookChain<const TEvent>& EmitEventHooks();
