// Stages 1 to 3: the face, still drowsy from the title, is woken (1), half opens an eye and looks
// around (2), then yawns, smacks its lips and opens both eyes (3). All three keep the flattened
// outline the title's breathing left in g.squash until stage 3 stretches it back to a full disc.
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;
constexpr int kPokeRadius = 45;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }
void SetHoleColor() { SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]); }

bool Poked() { return CursorDistance() < kPokeRadius && g.mouse_clicked != 0; }

// The disc pushed down from the top by `squash`; its bottom stays on the canvas bottom.
void DrawSquashedDisc(int squash) {
  SetFaceColor();
  DrawOval(0, squash, 90, 90 - squash);
}

// Small turned squares at the outer corners of the lids.
void DrawLidCorners(int squash) {
  SetRotation(45);
  DrawRect(9, squash + 32, 6, 6);
  DrawRect(41, squash + 32, 6, 6);
  SetRotation(0);
}

void DrawMouthLine(int y) {
  SetColor(0, 0, 0);
  DrawLine(35, y, 55, y);
}

// --- Stage 1 ------------------------------------------------------------------------------

// The face shuffles away from the side the cursor was on when it was woken.
void ChooseFleeDirection() {
  if (g.stage != 1) {
    g.flee_dir = 0;
    return;
  }
  const int tip_x = g.cursor_x - 6;
  g.flee_dir = tip_x <= g.face_x ? 1 : -1;
}

void ShuffleAway(int f) {
  const bool nudge_frame = ((f >= 21 && f <= 30) || (f >= 40 && f <= 46)) && f % 3 == 0;
  if (nudge_frame) g.face_x = TruncToInt(g.face_x + RandomFloat(0.0, 2.0) * g.flee_dir);
  if (f >= 31 && f <= 39 && f % 7 > 2) g.face_x += 2 * g.flee_dir;
  // A late twitch on one random frame; the draw is made every frame all the same.
  if (RandomInt(40, 250) == f) g.face_x += g.flee_dir;
}

// --- Stage 2 ------------------------------------------------------------------------------

constexpr int kCaughtLooking = 9;  // scene_var_6 once the face has seen the cursor

// Where the open eye looks: ahead, right, back through ahead to left, ahead again.
int Stage2Gaze(int f) {
  if (f <= 119) return 0;
  if (f <= 128) return (f - 120) / 3;
  if (f <= 209) return 3;
  if (f <= 218) return (210 - f) / 3;
  if (f <= 299) return -3;
  return 0;
}

// The blink of the open left eye alone: a poke on that eye or the due frame starts it.
void DrawLeftEyeBlink(int squash) {
  const int tip_x = g.cursor_x - 6;
  const int tip_y = g.cursor_y - 11;
  const bool over_left_eye =
      g.face_x - 35 < tip_x && tip_x < g.face_x && g.face_y - 14 < tip_y && tip_y < g.face_y + 16;
  if ((g.stage_frame > g.blink_due && g.blink_phase == 0) ||
      (over_left_eye && g.mouse_clicked != 0)) {
    g.blink_phase = 1;
  }
  if (g.blink_phase > 0) {
    SetFaceColor();
    DrawOval(8, squash + 20 - Abs(3 - g.blink_phase), 34, 34);
    ++g.blink_phase;
    if (g.blink_phase == 5) ScheduleBlink(300, 450);
  }
}

void DrawHalfAwakeFace(int f, int squash) {
  BeginFaceCanvas();
  DrawSquashedDisc(squash);
  SetColor(193, 184, 54);  // socket shadow
  DrawOval(10, squash + 22, 30, 30);
  SetColor(255, 255, 255);
  DrawOval(10, squash + 21, 30, 30);
  SetColor(0, 0, 0);
  DrawOval(g.look_x + 15, squash + 29, 20, 20);
  DrawOval(50, squash + 21, 30, 30);  // the right eye's rim, still shut
  SetFaceColor();
  if (f <= 4) {
    DrawRect(10, squash + 21, 30, 30 - 2 * f);  // the upper lid lifts
  } else if (f == 5) {
    DrawRect(10, squash + 21, 30, 19);
    ScheduleBlink(550, 650);
  } else {
    DrawRect(10, squash + 19, 30, 18);
    DrawLeftEyeBlink(squash);
  }
  SetFaceColor();
  DrawOval(50, squash + 20, 30, 30);
  DrawLidCorners(squash);
  DrawMouthLine(squash / 2 + 63);
  GrabFaceCanvas();
}

// Seeing the cursor on the side it is looking at wakes the face up.
bool SeesCursor() {
  if (CursorDistance() >= 140) return false;
  return (g.look_x == 3 && g.cursor_x > g.face_x) || (g.look_x == -3 && g.cursor_x < g.face_x);
}

// --- Stage 3 ------------------------------------------------------------------------------

// Frames 0..99: the left eye closes again while, at the very end, the face stretches back to
// its full height.
void DrawDozingFace(int f) {
  int& squash = g.squash;
  if (f >= 96 && squash > 100 - f) squash = 100 - f;
  const int n = squash;
  const bool eye_still_open = f <= 19;

  DrawSquashedDisc(n);
  SetColor(0, 0, 0);
  if (eye_still_open) {
    SetColor(255, 255, 255);
    DrawOval(10, n + 21, 30, 30);
    SetColor(0, 0, 0);
    DrawOval(15, n + 29, 20, 20);
  } else {
    DrawOval(10, n + 21, 30, 30);
  }
  DrawOval(50, n + 21, 30, 30);
  SetFaceColor();
  if (eye_still_open) DrawRect(10, n + 21, 30, f / 2 + 20);  // the lid comes down
  DrawOval(50, n + 20, 30, 30);
  DrawLidCorners(n);
  if (eye_still_open) {
    SetColor(255, 255, 255);
    DrawImage(g.closed_eye_image.get(), 25, n + 36, 0);
  } else {
    DrawOval(10, n + 20, 30, 30);
  }
  DrawMouthLine(n / 2 + 63);
}

// From frame 260: both eyes open, lids lifting, blinking once on the way.
void DrawOpeningEyes(int f) {
  DrawStaringEyes();
  SetFaceColor();
  const int lid_height = (305 - f) / 2;
  DrawRect(10, 25, 30, lid_height);
  DrawRect(50, 25, 30, lid_height);
  DrawBlink(200, 400);
  DrawMouthLine(63);
}

// The yawn's mouth is drawn in the canvas blue, so the grab leaves a hole in the face through
// which the mouth picture behind it shows.
void DrawYawnFace(int f) {
  if (f <= 99) {
    DrawDozingFace(f);
    return;
  }
  SetFaceColor();
  DrawOval(0, 0, 90, 90);
  if (f <= 144) {  // the yawn opens
    DrawClosedEyes((145 - f) / 3 + 21);
    const int opening = (f - 145) / 3;  // -15 .. 0
    SetHoleColor();
    DrawOval(30, 47 - opening, 30, opening * 2 + 31);
  } else if (f <= 174) {  // held, with a gulp every sixth frame
    DrawClosedEyes(21);
    SetHoleColor();
    if (f % 6 == 0) {
      DrawOval(30, 46, 30, 33);
    } else {
      DrawOval(30, 47, 30, 31);
    }
  } else if (f <= 204) {  // the yawn closes
    DrawClosedEyes((f - 175) / 2 + 21);
    SetHoleColor();
    DrawOval(30, (f - 175) / 2 + 47, 30, 206 - f);
  } else if (f <= 214) {  // lip smack
    DrawClosedEyes(36);
    const int smack = Abs(f - 210);
    SetHoleColor();
    DrawOval(40, smack / 3 + 60, 10, smack);
  } else if (f <= 259) {  // content
    DrawClosedEyes(36);
    DrawMouthLine(63);
  } else {
    DrawOpeningEyes(f);
  }
}

}  // namespace

void RunStage1() {
  ChooseFleeDirection();
  while (g.stage == 1) {
    const int f = g.stage_frame;
    const int n = g.squash;
    BeginFaceCanvas();
    DrawSquashedDisc(n);
    DrawShutEyes(n + 21);
    if (20 < f && f < 2500) {  // frown
      SetColor(100, 100, 50);
      DrawLine(41, 39, 41, 41);
      DrawLine(48, 39, 48, 41);
    }
    DrawMouthLine(n / 2 + 63);
    GrabFaceCanvas();

    ShuffleAway(f);
    SetBlend(1);
    DrawFaceImage(g.face_x, g.face_y);
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    if (Poked()) {
      SetStage(9);
    } else if (g.stage_frame == 370) {
      SetStage(2);
    }
    Flip(-1);
  }
}

void RunStage2() {
  int& caught_looking = g.scene_var_6;
  while (g.stage == 2) {
    // Past the timeline the gaze is left to the cursor and the face moves on; the rest of this
    // pass is drawn as stage 3's frame 0.
    if (g.stage_frame >= 400) {
      SetStage(3);
    } else {
      g.look_x = Stage2Gaze(g.stage_frame);
    }
    const int f = g.stage_frame;
    DrawHalfAwakeFace(f, g.squash);
    DrawFaceImage(g.face_x, g.face_y);

    if (SeesCursor()) caught_looking = kCaughtLooking;
    UpdateCursor(kCursorSpeed);
    WaitFrame();

    const bool close_while_awake = CursorDistance() < 50 && g.stage_frame > 126;
    if (close_while_awake || Poked()) {
      SetStage(9);
    } else if (caught_looking == kCaughtLooking) {
      SetStage(9);
    }
    Flip(-1);
  }
}

void RunStage3() {
  if (g.stage == 3) {
    MakeClosedEyeImage();
    ScheduleBlink(100, 200);
    SetMaskColor(0, 0, 255);
    g.yawned = true;
  }
  int& cursor_x_before = g.scene_var_1;
  int& cursor_y_before = g.scene_var_2;
  while (g.stage == 3) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawYawnFace(f);
    GrabFaceCanvas();

    // Still in mask blend: the mouth lies behind the face and shows only through the hole.
    DrawFaceWithPictureBehind(g.mouth1_image.get(), 0, 25);

    cursor_x_before = g.cursor_x;
    cursor_y_before = g.cursor_y;
    UpdateCursor(kCursorSpeed);
    if (f > 280 && CursorJerked(cursor_x_before, cursor_y_before)) SetStage(12);
    WaitFrame();

    if (Poked()) {
      SetStage(9);
    } else if (g.stage_frame == 305) {
      SetStage(4);
    }
    Flip(-1);
  }
}
