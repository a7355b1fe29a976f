#include "game/eye_holes.h"

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/cursor_math.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

int EyeLift(const EyeHoleStyle& style) {
  return (style.whites_follow_look_y ? g.look_y / 3 : 0) + style.drop;
}

// The distance between face centre and cursor point; the squares are real powers.
double FaceToCursor() {
  return Sqrt(Pow(g.face_x - g.cursor_x, 2) + Pow(g.face_y - g.cursor_y, 2));
}

}  // namespace

void DrawEyeHoleRims(int frame, const EyeHoleStyle& style) {
  const int lift = EyeLift(style);
  SetColor(0, 0, 0);
  g.scene_real = static_cast<float>(frame);
  if (frame < style.rim_fade_frames) {
    SetAlpha(g.scene_real / static_cast<float>(style.rim_fade_frames));
  }
  SetBlend(3);
  DrawOval(10, lift + 24, 30, 30);
  DrawOval(50, lift + 24, 30, 30);
  SetBlend(1);
  SetAlpha(1.0f);
  // Painted in the mask colour, the eyes become holes; only the rims' lowest pixel row is left.
  SetColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]);
  DrawOval(10, lift + 23, 30, 30);
  DrawOval(50, lift + 23, 30, 30);
}

double EyeHoleLidHeight(int frame, const EyeHoleStyle& style) {
  if (frame > style.lid_closing_end) return style.lid_shut_height;
  if (frame > style.lid_start)
    return (frame - style.lid_start) / double{style.lid_frames_per_pixel};
  return 0.0;
}

void DrawEyesBehindHoles(int frame, const EyeHoleStyle& style) {
  const int lift = EyeLift(style);
  SetColor(255, 255, 255);
  DrawOval(g.face_x - 35, g.face_y + lift - 22, 30, 30);
  DrawOval(g.face_x + 5, g.face_y + lift - 22, 30, 30);
  const int pupil_y = g.face_y + g.look_y / style.pupil_look_y_divisor + style.drop - 17;
  SetColor(0, 0, 0);
  DrawOval(g.face_x + g.look_x - 30, pupil_y, 20, 20);
  DrawOval(g.face_x + g.look_x + 10, pupil_y, 20, 20);
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawRect(g.face_x - 35, g.face_y + style.drop - 23, 70,
           static_cast<float>(EyeHoleLidHeight(frame, style)));
}

void DrawDozingFace(int frame, const EyeHoleStyle& style, int mouth_left) {
  BeginFaceCanvas();
  DrawFaceDisc();
  DrawEyeHoleRims(frame, style);
  SetColor(0, 0, 0);
  DrawLine(mouth_left, 66, 61, 65);
  GrabFaceCanvas();
  DrawEyesBehindHoles(frame, style);
  DrawFaceImage(g.face_x, g.face_y);
}

int SideAwayFromCoveringCursor() { return g.face_x < kScreenCentreX ? 1 : -1; }

void BackAwayFromCursor() {
  g.scene_real = static_cast<float>(FaceToCursor());
  const double d = g.scene_real;
  const double rx = RandomFloat(double{-0.2f}, double{4.3f});
  if (d > 0.0) {
    g.face_x = TruncToInt(rx * (g.face_x - g.cursor_x) / d + g.face_x);
  } else {
    // No direction away from a cursor on the face centre: sideways, so it still backs off.
    g.face_x = TruncToInt(rx * SideAwayFromCoveringCursor() + g.face_x);
  }
  const double ry = RandomFloat(double{-0.2f}, double{4.3f});
  if (d > 0.0) g.face_y = TruncToInt(ry * (g.face_y - g.cursor_y) / d + g.face_y);
  if (g.face_x < 45) g.face_x = 45;
  if (g.face_x > 755) g.face_x = 755;
  if (g.face_y < 45) g.face_y = 45;
  if (g.face_y > 555) g.face_y = 555;
}

void RunSleepingFadeOut(int stage, int mouth_left) {
  int& squash = g.squash;
  while (g.stage == stage) {
    const int n = g.stage_frame;
    // A slow breath of 210 frames: long rests at both ends, short steps between.
    squash = Abs(15 - ((n + 140) % 210) / 7) - 4;
    if (squash < 1) squash = 1;
    if (squash > 6) squash = 6;
    const int s = squash;

    BeginFaceCanvas();
    SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
    DrawOval(0, s, 90, 90 - s);
    DrawShutEyes(s + 23);
    SetColor(0, 0, 0);
    DrawLine(mouth_left, s / 2 + 66, 61, s / 2 + 65);
    GrabFaceCanvas();

    if (n > 300) SetAlpha(static_cast<float>((450 - n) / 150.0));
    SetBlend(3);
    DrawFaceImage(g.face_x, g.face_y);

    if (n < 70) {
      // The cursor slows down as it fades: its speed and its alpha are the same ramp.
      const float k = static_cast<float>(70 - n) / 100.0f;
      DriftCursor(k);
      SetAlpha(k);
      SetBlend(3);
      DrawImage(g.cursor_image.get(), g.cursor_x, g.cursor_y, 0);
      g.look_x = GazeOffset(g.cursor_x, g.face_x);
      g.look_y = GazeOffset(g.cursor_y, g.face_y);
    }

    SetAlpha(1.0f);
    WaitFrame();
    if (g.stage_frame == 450) SetStage(74);
    Flip(-1);
  }
}
