#pragma once
// The desktop's video configuration as it was before the game changed anything, and putting it
// back. The snapshot is plain data of a fixed size: it can be copied into another process (one
// that watches over the game) as it is, and restored there over a connection of its own.
#include <X11/Xlib.h>

#include <vector>

constexpr int kSnapshotMaxCrtcs = 32;
constexpr int kSnapshotMaxOutputs = 8;

struct CrtcSnapshot {
  unsigned long crtc = 0;  // RandR ids are the server's, valid on any connection
  unsigned long mode = 0;  // 0: the CRTC was off
  int x = 0, y = 0;
  unsigned rotation = 1;
  int output_count = 0;
  unsigned long outputs[kSnapshotMaxOutputs] = {};
  bool SameConfig(const CrtcSnapshot& other) const;
};

struct VidModeSnapshot {
  unsigned dotclock = 0;
  unsigned short hdisplay = 0, hsyncstart = 0, hsyncend = 0, htotal = 0, hskew = 0;
  unsigned short vdisplay = 0, vsyncstart = 0, vsyncend = 0, vtotal = 0;
  unsigned flags = 0;
};

struct DesktopSnapshot {
  char display_name[256] = {};  // for a connection of one's own
  int screen = 0;
  bool has_vidmode = false;  // the VidMode extension's mode in force
  VidModeSnapshot vidmode;
  bool has_crtcs = false;  // RandR 1.2: every CRTC's configuration
  int crtc_count = 0;
  CrtcSnapshot crtcs[kSnapshotMaxCrtcs];
};

// Reads what the server has now, each part where the server has the extension. False if neither
// part could be read.
bool TakeDesktopSnapshot(Display* display, int screen, DesktopSnapshot* snapshot);

// Puts back, over `display` (any connection to the same server), the VidMode mode if it differs
// and every CRTC whose configuration differs. True if the server took all of it.
bool RestoreDesktopSnapshot(Display* display, const DesktopSnapshot& snapshot);

// The same over a new connection to the snapshot's display, closed afterwards. Safe where the
// process's own connection is broken (Xlib's I/O error handler) and from another process.
bool RestoreDesktopSnapshotOverNewConnection(const DesktopSnapshot& snapshot);

// The CRTCs of the snapshot whose configuration differs from `now` (indices into the snapshot).
// A CRTC missing from `now` is left alone: it is no longer there to restore.
std::vector<int> CrtcsToRestore(const DesktopSnapshot& snapshot,
                                const std::vector<CrtcSnapshot>& now);

// Every CRTC's configuration now, over `display`; empty without RandR 1.2.
std::vector<CrtcSnapshot> ReadCrtcs(Display* display, int screen);
