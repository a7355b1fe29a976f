// Stages 30 and 31: the face charges at the cursor and knocks it flying. In 30 it first watches
// with a wavy mouth, then locks onto where the cursor was; a miss starts the fight (stage 32) with
// the face chasing. After a strike it retreats to a corner: coming back to it starts the fight
// with the face fleeing, keeping away sends it charging again (31), straight away and at a
// sluggish cursor. After 31's strike, any approach starts the fight; otherwise it gives up (44).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/knock_back.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr int kStrikeRadius = 48;
constexpr int kFollowThroughFrames = 15;  // from the strike, the face keeps its momentum
constexpr int kKnockBackFrames = 25;      // from the strike, the cursor flies
constexpr int kCursorKnockSpeed = 20;     // pixels a frame at the strike

// Names shared by both stages.
struct Charge {
  int& aim_x = g.scene_var_1;
  int& aim_y = g.scene_var_2;
  int& knock_vx = g.scene_var_3;
  int& knock_vy = g.scene_var_4;
  int& fight_phase = g.scene_var_7;
};

void DrawCalmMouth() {
  SetBlend(3);
  SetColor(255, 255, 255);
  DrawImage(g.mouth2_image.get(), 45, 66, 0);
  SetBlend(1);
}

void DrawChargingFace() {
  DrawWidePupilEyes();
  DrawBlink(50, 260);
  DrawOpenMouth();
}

void DrawWatchingFace() {
  DrawStandardEyes();
  DrawBlink(50, 260);
  DrawCalmMouth();
}

void MoveFaceToward(int x, int y, int divisor) {
  g.face_x += (x - g.face_x) / divisor;
  g.face_y += (y - g.face_y) / divisor;
}

// The face hits the cursor: it keeps the push (cursor minus face) as its follow-through and sends
// the cursor off along it at full knock speed.
void Strike(Charge& c, int& bump_frame) {
  bump_frame = g.stage_frame;
  c.aim_x = g.cursor_x - g.face_x;
  c.aim_y = g.cursor_y - g.face_y;
  const int r = CursorDistance();
  if (r != 0) {
    c.knock_vx = TruncToInt(c.aim_x * kCursorKnockSpeed / double(r));
    c.knock_vy = TruncToInt(c.aim_y * kCursorKnockSpeed / double(r));
  } else {
    // Dead centre: no direction to go by, so off toward the far half of the screen.
    c.knock_vx = g.cursor_x > 399 ? -kCursorKnockSpeed : kCursorKnockSpeed;
    c.knock_vy = 0;
  }
}

void KnockBack(Charge& c, int bump_frame) {
  KnockCursorBack(c.knock_vx, c.knock_vy, g.stage_frame - bump_frame);
  DrawKnockedCursor();  // the alpha stays at 0.7 until something sets it again
}

// When the follow-through ends, the face heads for the corner away from where the cursor flies.
void ChooseRetreatCorner(Charge& c, int bump_frame) {
  if (bump_frame < 0 || g.stage_frame != bump_frame + kFollowThroughFrames) return;
  c.aim_x = g.cursor_x + 2 * c.knock_vx > 399 ? 30 : 770;
  c.aim_y = g.cursor_y + 2 * c.knock_vy > 299 ? 30 : 570;
}

}  // namespace

void RunStage30() {
  Charge c;
  int& charge_frame = g.stage_scratch_a;
  int& bump_frame = g.stage_scratch_b;
  bool first_pass = true;
  while (g.stage == 30) {
    if (first_pass) charge_frame = RandomInt(100, 200);
    first_pass = false;
    const int f = g.stage_frame;
    const bool struck = bump_frame >= 0;
    const bool charging = f >= charge_frame && !struck;
    const bool retreating = struck && f >= bump_frame + kFollowThroughFrames;

    BeginFaceCanvas();
    DrawFaceDisc();
    if (f < charge_frame || (bump_frame > 0 && retreating)) {
      DrawWatchingFace();
    } else {
      DrawChargingFace();
    }
    GrabFaceCanvas();

    if (f == charge_frame) {  // the aim is locked where the cursor is now
      c.aim_x = g.cursor_x;
      c.aim_y = g.cursor_y;
    }
    ChooseRetreatCorner(c, bump_frame);
    if (charging || retreating) {
      MoveFaceToward(c.aim_x, c.aim_y, 6);
    } else if (charge_frame < f && f < bump_frame + kFollowThroughFrames) {
      g.face_x += c.aim_x / 9;
      g.face_y += c.aim_y / 9;
      ClampToFlightBox(g.face_x, g.face_y);
    }
    DrawFaceImage(g.face_x, g.face_y);

    if (f > charge_frame && CursorDistance() < kStrikeRadius && bump_frame == -1) {
      Strike(c, bump_frame);
    }
    if (bump_frame == -1) {
      UpdateCursor(0.8f);
    } else if (f < bump_frame + kKnockBackFrames) {
      KnockBack(c, bump_frame);
    } else {
      UpdateCursor(0.9f);
    }
    WaitFrame();

    if (g.stage_frame > charge_frame + 15 && bump_frame == -1) {  // the charge missed
      c.fight_phase = 1;
      SetStage(32);
    }
    // After a SetStage above bump_frame reads -1 again, so this cannot fire as well.
    if (bump_frame >= 0 && g.stage_frame >= bump_frame + kKnockBackFrames &&
        CursorDistance() < 60) {
      c.fight_phase = 3;
      SetStage(32);
    } else if (bump_frame >= 0 && g.stage_frame > bump_frame + 200) {
      SetStage(31);
    }
    Flip(-1);
  }
}

void RunStage31() {
  Charge c;
  int& bump_frame = g.stage_scratch_a;
  int& approach_gap = g.scene_var_5;
  int& last_gap = g.scene_var_6;
  constexpr int kCameCloser = -74;
  bool first_pass = true;
  while (g.stage == 31) {
    if (first_pass) last_gap = 0;
    first_pass = false;
    const int f = g.stage_frame;
    const bool struck = bump_frame >= 0;

    BeginFaceCanvas();
    DrawFaceDisc();
    if (!struck || f < bump_frame + kFollowThroughFrames) {
      DrawChargingFace();
    } else if (f < bump_frame + 150) {
      DrawWatchingFace();
    } else {  // settled in the corner, the wavy mouth straightens
      DrawStandardEyes();
      DrawBlink(50, 260);
      SetColor(0, 0, 0);
      DrawLine(38, 66, 56, 66);
    }
    GrabFaceCanvas();

    ChooseRetreatCorner(c, bump_frame);
    if (!struck) {
      MoveFaceToward(g.cursor_x, g.cursor_y, 4);
      if (f > 50) MoveFaceToward(g.cursor_x, g.cursor_y, 4);  // the charge gathers pace
    } else if (f >= bump_frame + kFollowThroughFrames) {
      MoveFaceToward(c.aim_x, c.aim_y, 6);
    } else {
      g.face_x += c.aim_x / 8;
      g.face_y += c.aim_y / 8;
      ClampToFlightBox(g.face_x, g.face_y);
    }
    DrawFaceImage(g.face_x, g.face_y);

    if (CursorDistance() < kStrikeRadius && bump_frame == -1) Strike(c, bump_frame);
    if (bump_frame == -1) {
      UpdateCursor(0.2f);
    } else if (f < bump_frame + kKnockBackFrames) {
      KnockBack(c, bump_frame);
    } else {
      UpdateCursor(0.7f);
      approach_gap = CursorDistance();
      last_gap = approach_gap < 500 && approach_gap < last_gap ? kCameCloser : approach_gap;
    }
    WaitFrame();

    if (last_gap == kCameCloser) {
      c.fight_phase = 3;
      SetStage(32);
    } else if (bump_frame >= 0 && g.stage_frame > bump_frame + 250) {
      SetStage(44);
    }
    Flip(-1);
  }
}
