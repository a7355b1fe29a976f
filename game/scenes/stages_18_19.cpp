// Stages 18 and 19: the face that won the follow-the-leader game dances about, calms down and
// laughs (18); the face that crept up on the cursor lunges, opens wide and swallows it, and the
// mouse can only push the face about until the struggle frees the cursor (19).
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/laughing_face.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/swallowed_cursor.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;

void SetFaceColor() { SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]); }

// --- Stage 18 -----------------------------------------------------------------------------

// Directions as primes, so a product of them says which are ruled out.
constexpr int kRight = 2, kDown = 3, kLeft = 5, kUp = 7;
constexpr int kDirections[4] = {kRight, kDown, kLeft, kUp};

// Leg choices every 12 frames; frame 48 starts the pause instead.
constexpr int kLegFrames = 12;
constexpr int kPauseFrame = 48;

void DrawDancingFace() {
  DrawFaceDisc();
  DrawEyes(25, g.look_x, g.look_y);
  SetFaceColor();  // lids, a little lower when looking up
  DrawRect(10, g.look_y < 0 ? g.look_y / 2 + 25 : 25, 70, 11);
  DrawBlink(50, 260);
  SetColor(200, 190, 52);
  DrawLine(30, 30, 60, 30);
  DrawLine(10, 28, 30, 30);
  DrawLine(80, 28, 60, 30);
  SetColor(0, 0, 0);  // the grin
  DrawBaredTeeth(69, {255, 255, 245}, {200, 190, 52});
}

void DrawCalmFace() {
  DrawFaceDisc();
  DrawStaringEyes();
  DrawBlink(50, 260);
  SetColor(0, 0, 0);
  DrawLine(36, 70, 54, 70);
}

bool RuledOut(int dir_code, int direction) { return dir_code % direction == 0; }

// The next leg's direction: never the last one, never toward an edge the leg would reach.
void ChooseLeg() {
  int& leg_x = g.scene_var_1;
  int& leg_y = g.scene_var_2;
  int& leg_length = g.scene_var_3;
  int& dir_code = g.scene_var_4;
  int& open_dirs = g.scene_var_5;

  leg_x = g.face_x;
  leg_y = g.face_y;
  leg_length = RandomInt(120, 300);
  if (!RuledOut(dir_code, kRight) && g.face_x + leg_length > 740) dir_code *= kRight;
  if (!RuledOut(dir_code, kDown) && g.face_y + leg_length > 540) dir_code *= kDown;
  if (!RuledOut(dir_code, kLeft) && g.face_x - leg_length < 60) dir_code *= kLeft;
  if (!RuledOut(dir_code, kUp) && g.face_y - leg_length < 60) dir_code *= kUp;
  open_dirs = 4;
  for (int direction : kDirections) {
    if (RuledOut(dir_code, direction)) --open_dirs;
  }

  const int n = RandomInt(1, open_dirs);
  if (open_dirs == 0) {
    // Boxed in, the draw is 0 or 1: 1 breaks out upward; 0 keeps the product, and with every
    // prime dividing it the face stands still until a later choice draws 1.
    if (n == 1) dir_code = kUp;
    return;
  }
  int seen = 0;
  for (int direction : kDirections) {
    if (!RuledOut(dir_code, direction) && ++seen == n) {
      dir_code = direction;
      return;
    }
  }
}

void StartPause() {
  g.scene_var_1 = g.face_x;  // leg_x
  g.scene_var_2 = g.face_y;  // leg_y
  g.scene_var_4 = 1;         // dir_code: nothing ruled out after the pause
  g.scene_var_5 = RandomInt(60, 740);  // pause_x
  g.scene_var_6 = RandomInt(60, 540);  // pause_y
}

void NudgeFromMargins() {
  if (g.face_x > 700) g.face_x -= 5;
  if (g.face_x < 100) g.face_x += 5;
  if (g.face_y > 500) g.face_y -= 5;
  if (g.face_y < 100) g.face_y += 5;
}

// Half the gap to a target that starts half a leg out and runs on a twelfth of a leg a frame;
// the eyes look where the face goes.
void DanceLeg(int f) {
  const int leg_x = g.scene_var_1;
  const int leg_y = g.scene_var_2;
  const int leg_length = g.scene_var_3;
  const int dir_code = g.scene_var_4;
  const int run = (f % kLegFrames) * (leg_length / kLegFrames);
  const int half = leg_length / 2;
  switch (dir_code) {
    case kRight:
      g.face_x = (leg_x + run + g.face_x + half) / 2;
      g.look_x = 5;
      g.look_y = 0;
      break;
    case kDown:
      g.face_y = (leg_y + run + g.face_y + half) / 2;
      g.look_x = 0;
      g.look_y = 5;
      break;
    case kLeft:
      g.face_x = (leg_x + g.face_x - run - half) / 2;
      g.look_x = -5;
      g.look_y = 0;
      break;
    case kUp:
      g.face_y = (leg_y + g.face_y - run - half) / 2;
      g.look_x = 0;
      g.look_y = -5;
      break;
    default:  // boxed in: stands still
      break;
  }
}

// --- Stage 19 -----------------------------------------------------------------------------

constexpr int kCursorGone = 17;    // first frame without the cursor
constexpr int kPushesFrom = 19;    // first frame the mouse pushes the face
constexpr int kFreedAbove = 59;    // struggle that frees the cursor
constexpr int kSettleAbove = 44;   // struggle that straightens the mouth
constexpr int kSettleClicks = 6;   // clicks past this straighten it too

void DrawSwallowingEyes(int f) {
  if (f >= 10 && f <= 13) {  // rising with the opening mouth
    DrawEyes(g.look_y / 3 + 61 - 4 * f, g.look_x, g.look_y + 36 - 4 * f);
  } else if (f >= 14 && f <= 16) {  // raised over the wide-open mouth
    DrawEyes(g.look_y / 3 + 13, g.look_x, g.look_y - 12);
  } else {
    DrawStandardEyes();
    DrawBlink(50, 260);
  }
}

void DrawSwallowingMouth(int f, int mouth_settled) {
  if (f >= 11 && f <= 16) {
    if (f <= 13) SetScale(1, static_cast<float>((f - 10) / 3.0));
    SetColor(255, 255, 255);
    DrawImage(g.mouth3_image.get(), 45, 61, 0);
    SetScale(1, 1);
  } else if (f >= 18 && mouth_settled == 0) {
    // The wavy mouth of a full face. The alpha stays 0.9, which mask blend ignores.
    SetColor(255, 255, 255);
    SetBlend(3);
    SetAlpha(0.9f);
    DrawImage(g.mouth2_image.get(), 45, 66, 0);
    SetBlend(1);
  } else {
    SetColor(0, 0, 0);
    DrawLine(33, 66, 57, 66);
  }
}

// The pushed face stays well on the screen.
void KeepPushedFaceOnScreen() {
  if (g.face_x > 758) g.face_x = 756;
  if (g.face_x < 52) g.face_x = 54;
  if (g.face_y > 558) g.face_y = 556;
  if (g.face_y < 52) g.face_y = 54;
}

}  // namespace

void RunStage18() {
  int& laugh_bounce = g.scene_var_3;
  int& dir_code = g.scene_var_4;
  const int& pause_x = g.scene_var_5;
  const int& pause_y = g.scene_var_6;
  if (g.stage == 18) dir_code = 1;
  while (g.stage == 18) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    if (f <= 139) {
      DrawDancingFace();
    } else if (f <= 179) {
      DrawCalmFace();
    } else {
      laugh_bounce = Abs((f - 2) % 18 - 10);
      DrawLaughingFace(laugh_bounce);
    }
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);

    if (f % kLegFrames == 0 && f != kPauseFrame) {
      ChooseLeg();
    } else if (f == kPauseFrame) {
      StartPause();
    }
    NudgeFromMargins();
    UpdateCursor(kCursorSpeed);
    if (f <= 132 && (f < kPauseFrame || f >= 60)) {
      DanceLeg(f);
    } else if (f >= kPauseFrame && f <= 59) {
      g.face_x += (pause_x - g.face_x) / 9;
      g.face_y += (pause_y - g.face_y) / 9;
    }
    WaitFrame();

    if (g.stage_frame == 300) SetStage(30);
    Flip(-1);
  }
}

void RunStage19() {
  int& start_x = g.scene_var_1;
  int& start_y = g.scene_var_2;
  int& push_roll_x = g.scene_var_3;
  int& push_roll_y = g.scene_var_4;
  int& struggle = g.scene_var_5;
  int& mouth_settled = g.scene_var_6;
  int& click_total = g.scene_var_7;
  int& decay_frame = g.stage_scratch_a;
  if (g.stage == 19) {
    start_x = g.face_x;
    start_y = g.face_y;
    struggle = 0;
    mouth_settled = 0;
    click_total = 0;
    decay_frame = 20;
  }
  while (g.stage == 19) {
    const int f = g.stage_frame;
    BeginFaceCanvas();
    DrawFaceDisc();
    DrawSwallowingEyes(f);
    DrawSwallowingMouth(f, mouth_settled);
    GrabFaceCanvas();
    DrawFaceImage(g.face_x, g.face_y);

    if (f <= 10) {
      // The cursor crawls into the mouth; its alpha is left at 0.7.
      UpdateCursor(0.2f);
      SetAlpha(0.7f);
    } else if (f < kCursorGone) {  // held still in the open mouth
      SetAlpha(0.7f);
      SetBlend(3);
      DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
    } else if (f >= kPushesFrom) {
      push_roll_x = RandomInt(0, 2);
      push_roll_y = RandomInt(0, 2);
      const int gain = StruggleInsideFace(push_roll_x > 0, push_roll_y > 0);
      KeepPushedFaceOnScreen();
      struggle += gain;
      if (struggle > kSettleAbove) mouth_settled = 1;
      CutStruggle(struggle, decay_frame, 7);
      click_total += g.mouse_clicked;
      if (click_total > kSettleClicks) mouth_settled = 1;
    }
    WaitFrame();

    if (g.stage_frame <= 10) {  // the lunge: the cursor ends up in the mouth
      // Summed to single precision, like the cursor's own steps, so decision 10 lands exactly.
      const double dx = (g.cursor_x - start_x) / 10.0;
      const double dy = (g.cursor_y - start_y - 17) / 10.0;
      g.face_x = CursorAxisStep(start_x, dx * g.stage_frame);
      g.face_y = CursorAxisStep(start_y, dy * g.stage_frame);
    }
    if (g.stage_frame == 240) mouth_settled = 1;
    if (g.stage_frame == 300) SetStage(20);
    if (struggle > kFreedAbove) SetStage(21);
    Flip(-1);
  }
}
