// Stage 32, the fight. Four phases turn and turn about: the face chases the cursor and strikes it
// (1), the cursor flies off while the face backs away pleased with itself (2), the face flees
// round a ring of six points until the player pokes it (3), and the poked face flies off and
// calms down (4) before the chase begins again. Six strikes either way end the fight; so does a
// long spell without any.
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

namespace {

enum FightPhase { kChase = 1, kKnockBack = 2, kFlight = 3, kHit = 4 };

// The ring the face flees around; index + 1 runs clockwise on screen.
constexpr int kRingPoints = 6;
constexpr int kWaypointX[kRingPoints] = {80, 400, 720, 720, 400, 80};
constexpr int kWaypointY[kRingPoints] = {80, 45, 80, 520, 555, 520};

constexpr int kStrikeRadius = 50;
constexpr int kCatchRadius = 51;    // a poke this close catches the fleeing face
constexpr int kFinishedCount = 74;  // hit_count once the sixth strike has been counted
constexpr int kNoGapYet = 100001;

struct Fight {
  int hit_count = 0;
  int& phase = g.scene_var_7;
  int& phase_frame = g.stage_scratch_a;  // the last strike
  int& finish_frame = g.stage_scratch_b;
  int& face_vx = g.scene_var_1;
  int& face_vy = g.scene_var_2;
  int& knock_vx = g.scene_var_3;
  int& knock_vy = g.scene_var_4;
  int& target_wp = g.scene_var_3;
  int& face_wp = g.scene_var_4;
  int& best_gap = g.scene_var_5;
  int& cursor_wp = g.scene_var_6;

  int Since() const { return g.stage_frame - phase_frame; }
  void Strike(FightPhase next) {
    phase = next;
    phase_frame = g.stage_frame;
    ++hit_count;
  }
};

double Distance(int x0, int y0, int x1, int y1) { return Sqrt(Pow(x0 - x1, 2) + Pow(y0 - y1, 2)); }

// --- Phase 1 ------------------------------------------------------------------------------

void Chase(Fight& fight) {
  DrawOpenMouth();
  GrabFaceCanvas();
  DrawFaceImage(g.face_x, g.face_y);
  UpdateCursor(0.8f);

  // Slow for the first 300 frames after the last strike, then in earnest.
  if (g.stage_frame < fight.phase_frame + 300) {
    g.face_x = TruncToInt(g.face_x + (g.cursor_x - g.face_x) / 8.5);
    g.face_y = TruncToInt(g.face_y + (g.cursor_y - g.face_y) / 8.5);
  } else {
    g.face_x += (g.cursor_x - g.face_x) / 6;
    g.face_y += (g.cursor_y - g.face_y) / 6;
  }
  const double r = CursorDistance();
  if (r > 5) {  // too close to tell a direction: the push keeps its last one
    fight.face_vx = TruncToInt((g.cursor_x - g.face_x) * 30 / r);
    fight.face_vy = TruncToInt((g.cursor_y - g.face_y) * 30 / r);
  }
  if (r < kStrikeRadius) {
    fight.Strike(kKnockBack);
    fight.knock_vx = fight.face_vx;
    fight.knock_vy = fight.face_vy;
  }
}

// --- Phase 2 ------------------------------------------------------------------------------

// One step away from the cursor point, k pixels along the line from it. The distance is taken
// afresh for each axis, after the other axis has moved; should the x step land the face exactly
// under the tip, the y step keeps the distance the x step went by instead of dividing by zero,
// so the face goes on backing away.
void BackAway() {
  const int first = CursorDistance();
  const float kx = first < 80 ? 7.0f : 4.0f;
  const float ux = static_cast<float>(g.face_x - g.cursor_x) / static_cast<float>(first);
  g.face_x = TruncToInt(static_cast<float>(g.face_x) + ux * kx);

  int second = CursorDistance();
  const float ky = second < 80 ? 7.0f : 4.0f;
  if (second == 0) second = first;
  const float uy = static_cast<float>(g.face_y - g.cursor_y) / static_cast<float>(second);
  g.face_y = TruncToInt(static_cast<float>(g.face_y) + uy * ky);
}

void KnockBack(Fight& fight) {
  if (fight.Since() > 10) {  // a small satisfied mouth
    SetColor(0, 0, 0);
    DrawLine(36, 68, 54, 68);
    DrawLine(36, 67, 36, 69);
    DrawLine(54, 67, 54, 69);
  } else {
    DrawOpenMouth();
  }
  GrabFaceCanvas();

  KnockCursorBack(fight.knock_vx, fight.knock_vy, fight.Since());
  if (fight.Since() < 15) {  // follow through
    g.face_x += fight.face_vx / 5;
    g.face_y += fight.face_vy / 5;
  } else if (CursorDistance() > 0) {
    BackAway();
  }
  ClampToFlightBox(g.face_x, g.face_y);
  if (fight.Since() == 25) {
    fight.phase = kFlight;
    fight.face_vx = 0;
    fight.face_vy = 0;
  }

  DrawFaceImage(g.face_x, g.face_y);
  DrawKnockedCursor();
  SetAlpha(1.0f);
}

// --- Phase 3 ------------------------------------------------------------------------------

void FindRingPoints(Fight& fight) {
  fight.best_gap = kNoGapYet;
  for (int i = 0; i < kRingPoints; ++i) {
    const int d = TruncToInt(Distance(kWaypointX[i], kWaypointY[i], g.cursor_x, g.cursor_y));
    if (d < fight.best_gap) {
      fight.best_gap = d;
      fight.cursor_wp = i;
    }
  }
  fight.best_gap = kNoGapYet;
  for (int i = 0; i < kRingPoints; ++i) {
    const double d = Distance(kWaypointX[i], kWaypointY[i], g.face_x, g.face_y);
    if (d < fight.best_gap) {
      fight.best_gap = TruncToInt(d);
      fight.face_wp = i;
    }
  }
}

// Around the ring away from the cursor's side; from the point opposite it the face stays put.
int FleeTarget(int face_wp, int cursor_wp) {
  const int ahead = (face_wp + 1) % kRingPoints;
  const int ahead2 = (face_wp + 2) % kRingPoints;
  if (face_wp == cursor_wp || face_wp == (cursor_wp + 1) % kRingPoints ||
      face_wp == (cursor_wp + 2) % kRingPoints) {
    return ahead;
  }
  if (cursor_wp == ahead || cursor_wp == ahead2) return (face_wp + 5) % kRingPoints;
  return face_wp;
}

void FlightStep(Fight& fight) {
  FindRingPoints(fight);
  fight.target_wp = FleeTarget(fight.face_wp, fight.cursor_wp);
  const int to = fight.target_wp;
  const int from = fight.face_wp;
  const float r = static_cast<float>(CursorDistance());
  fight.best_gap = TruncToInt(Distance(kWaypointX[to], kWaypointY[to], g.face_x, g.face_y));
  // Far from the cursor and already at its point, the face rests.
  if (!(r < 450 || fight.best_gap > 30)) return;

  g.face_x += (kWaypointX[to] - kWaypointX[from]) / 60;
  g.face_y += (kWaypointY[to] - kWaypointY[from]) / 60;
  g.face_x += (kWaypointX[to] - g.face_x) / 54;
  g.face_y += (kWaypointY[to] - g.face_y) / 54;

  // Away from the cursor; the push is smoothed, so a sudden change of side jolts the face.
  if (r > 0) {
    const double rd = r;  // held in single precision, divided by in double
    g.face_x = TruncToInt(g.face_x + ((g.face_x - g.cursor_x) * 36 / rd - fight.face_vx) / 3);
    g.face_y = TruncToInt(g.face_y + ((g.face_y - g.cursor_y) * 36 / rd - fight.face_vy) / 3);
    fight.face_vx = TruncToInt(((g.face_x - g.cursor_x) * 36 / rd + 2 * fight.face_vx) / 3);
    fight.face_vy = TruncToInt(((g.face_y - g.cursor_y) * 36 / rd + 2 * fight.face_vy) / 3);
  }

  // Back toward the ring when pushed off it.
  const float s =
      static_cast<float>(Sqrt(Pow(300 - 0.75 * g.face_x, 2) + Pow(300 - g.face_y, 2)));
  if (s > 0 && Abs(double{s} - 250) > 30) {
    g.face_x = TruncToInt(g.face_x + (400 + (g.face_x - 400) * 250 / double{s} - g.face_x) / 15);
    g.face_y = TruncToInt(g.face_y + (300 + (g.face_y - 300) * 250 / double{s} - g.face_y) / 15);
  }
}

void Flight(Fight& fight) {
  DrawOpenMouth();
  GrabFaceCanvas();
  DrawFaceImage(g.face_x, g.face_y);
  UpdateCursor(fight.hit_count > 2 ? 0.8f : 1.0f);

  if (CursorDistance() < kCatchRadius && g.mouse_clicked != 0) {
    fight.Strike(kHit);
    return;
  }
  FlightStep(fight);
}

// --- Phase 4 ------------------------------------------------------------------------------

// The poked face flies off along the line from the cursor tip, or diagonally when hit dead
// centre.
void LaunchFace(Fight& fight) {
  const int d = CursorDistance();
  if (d > 0) {
    fight.face_vx = (g.face_x - g.cursor_x) * 30 / d;
    fight.face_vy = (g.face_y - g.cursor_y) * 30 / d;
  } else {
    fight.face_vx = fight.face_vy = g.face_y < 300 ? 21 : -21;
  }
}

void Hit(Fight& fight) {
  if (fight.Since() == 1) LaunchFace(fight);
  if (fight.Since() < 45) {  // mouth wide open
    SetAlpha(1.0f);
    SetColor(255, 255, 255);
    SetBlend(3);
    SetScale(0.7f, 0.7f);
    DrawImage(g.mouth3_image.get(), 45, 70, 0);
    SetScale(1, 1);
  } else {  // lowered lids and a faint smile: the frown picture turned upside down
    SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
    SetRotation(2);
    DrawRect(10, 23, 30, 8);
    SetRotation(-2);
    DrawRect(51, 24, 30, 8);
    SetRotation(0);
    SetColor(255, 255, 255);
    SetAlpha(0.6f);
    SetBlend(3);
    SetScale(1, -0.8f);
    DrawImage(g.mouth4_image.get(), 45, 69, 0);
    SetScale(1, 1);
    SetAlpha(1.0f);
  }
  SetBlend(1);
  GrabFaceCanvas();

  FlyAndBounce(g.face_x, g.face_y, fight.face_vx, fight.face_vy, double{0.93f}, fight.Since() - 1);
  DrawFaceImage(g.face_x, g.face_y);
  UpdateCursor(0.8f);
  if (fight.Since() == 70) fight.phase = kChase;
}

// Close to the face during the first flight, the whole game runs at a third of its speed: the
// frame takes three ticks while stage_frame still counts one.
void SlowMotion(const Fight& fight) {
  if (fight.phase != kFlight || fight.hit_count >= 2 || CursorDistance() >= 50) return;
  WaitFrame();
  WaitFrame();
  g.stage_frame -= 2;
}

bool FightOver(const Fight& fight) {
  const int f = g.stage_frame;
  const bool quiet_after_two = f == fight.phase_frame + 430 && fight.hit_count > 1;
  const bool finished = f == fight.finish_frame + 13 && fight.finish_frame > 0;
  const bool never_got_going = fight.hit_count < 2 && f > fight.phase_frame + 800;
  return quiet_after_two || finished || never_got_going;
}

}  // namespace

void RunStage32() {
  Fight fight;  // the entry block: no strikes counted yet
  while (g.stage == 32) {
    if (fight.phase == 0) fight.phase = kChase;
    // The push left over from stage 30 is an aim point, not a velocity: a strike on the very
    // first chase frame would otherwise fling the cursor by hundreds of pixels.
    if (g.stage_frame == 0 && (fight.phase == kFlight || fight.phase == kChase)) {
      fight.face_vx = 0;
      fight.face_vy = 0;
    }

    BeginFaceCanvas();
    DrawFaceDisc();
    if (fight.phase == kHit && fight.Since() >= 45) {
      DrawEyes(25, g.look_x, g.look_y);  // calm again, eyes level
    } else {
      DrawWidePupilEyes();
    }
    DrawBlink(50, 260);
    switch (fight.phase) {
      case kChase:
        Chase(fight);
        break;
      case kKnockBack:
        KnockBack(fight);
        break;
      case kFlight:
        Flight(fight);
        break;
      case kHit:
        Hit(fight);
        break;
    }
    WaitFrame();

    SlowMotion(fight);
    if (fight.hit_count == 6) {
      fight.finish_frame = g.stage_frame;
      fight.hit_count = kFinishedCount;
    }
    if (FightOver(fight)) SetStage(33);
    Flip(-1);
  }
}
