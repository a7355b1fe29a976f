#include "game/face.h"

#include "draw2d/canvas_memo.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

void SetFaceColor(const int (&rgb)[3]) { SetColor(rgb[0], rgb[1], rgb[2]); }

// A click with the cursor tip over the eyes; the box moves with the eye whites.
bool ClickOverEyes() {
  const int tip_x = g.cursor_x - 6;
  const int tip_y = g.cursor_y - 11;
  const int lift = g.look_y / 3;
  return g.face_x - 35 < tip_x && tip_x < g.face_x + 35 &&                //
         g.face_y - 15 + lift < tip_y && tip_y < g.face_y + 15 + lift &&  //
         g.mouse_clicked != 0;
}

}  // namespace

void BeginFaceCanvas() {
  // Cleared after the grab, so an unchanged face need not be drawn again.
  BeginCanvas();
  SetBlend(1);
  SetFaceColor(kCanvasBlue);
  DrawRect(0, 0, 90, 90);
}

void DrawFaceDisc() {
  SetFaceColor(kFaceYellow);
  DrawOval(0, 0, 90, 90);
}

void DrawEyes(int white_y, int pupil_dx, int pupil_dy) {
  SetColor(255, 255, 255);
  DrawOval(10, white_y, 30, 30);
  DrawOval(50, white_y, 30, 30);
  SetColor(0, 0, 0);
  DrawOval(pupil_dx + 15, pupil_dy + 30, 20, 20);
  DrawOval(pupil_dx + 55, pupil_dy + 30, 20, 20);
}

void DrawStandardEyes() { DrawEyes(g.look_y / 3 + 25, g.look_x, g.look_y); }

void DrawStaringEyes() { DrawEyes(25, 0, 0); }

void DrawDelightedFeatures() {
  SetColor(255, 255, 255);
  DrawImage(g.closed_eye_image.get(), 25, 38, 0);
  DrawImage(g.closed_eye_image.get(), 65, 38, 0);
  SetBlend(3);
  DrawImage(g.mouth1_image.get(), 45, 70, 0);
  SetBlend(1);
}

void GrabFaceCanvas() {
  SetMaskColor(kCanvasBlue[0], kCanvasBlue[1], kCanvasBlue[2]);
  GrabImage(g.face_image.get(), 0, 0);
  Cls();
}

void DrawFaceImage(float x, float y) {
  SetColor(255, 255, 255);
  DrawImage(g.face_image.get(), x, y, 0);
}

void DrawFaceWithPictureBehind(TImage* picture, int dx, int dy) {
  SetColor(255, 255, 255);
  DrawImage(picture, g.face_x + dx, g.face_y + dy, 0);
  DrawFaceImage(g.face_x, g.face_y);
}

void MakeClosedEyeImage() {
  SetBlend(1);
  SetColor(255, 255, 255);
  DrawRect(0, 0, 30, 30);
  SetColor(0, 0, 0);
  DrawOval(0, 0, 30, 30);
  SetColor(255, 255, 255);
  DrawOval(0, -1, 30, 30);
  SetMaskColor(255, 255, 255);
  GrabImage(g.closed_eye_image.get(), 0, 0, 0);
}

void DrawClosedEyes(int y) {
  SetColor(0, 0, 0);
  DrawImage(g.closed_eye_image.get(), 25, y, 0);
  DrawImage(g.closed_eye_image.get(), 65, y, 0);
}

void DrawBlink(int lo, int hi) {
  // A click on the eyes restarts a blink already under way.
  if ((g.stage_frame > g.blink_due && g.blink_phase == 0) || ClickOverEyes()) g.blink_phase = 1;
  if (g.blink_phase <= 0) return;

  SetFaceColor(kFaceYellow);
  const int y = g.look_y / 3 + 23 - Abs(3 - g.blink_phase);
  DrawOval(8, y, 34, 34);
  DrawOval(48, y, 34, 34);
  ++g.blink_phase;
  if (g.blink_phase == 5) ScheduleBlink(lo, hi);
}

void ScheduleBlink(int lo, int hi) {
  g.blink_phase = 0;
  g.blink_due = TruncToInt(RandomFloat(lo, hi) + g.stage_frame);
}
