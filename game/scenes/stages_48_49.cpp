// Stages 48 and 49: the face sleeps, breathing, and fades away before the closing card (48); or
// it flees from the cursor round a great ellipse about the screen centre until the player has
// chased it enough (50) or has left the mouse alone long enough (51).
#include <cmath>

#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "display/graphics.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "game/wary_face.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

constexpr float kCursorSpeed = 0.8f;

// --- Stage 48 -----------------------------------------------------------------------------

// 0..3: a triangle wave of 35 x 7.4 frames that rests at 0 and peaks at 3 near its extremes.
int Breath(int frame) {
  const double wave = Abs(std::fmod(frame / double{7.4f}, 35.0) - 17.0) - 7.0;
  int breath = TruncToInt(wave);
  if (breath < 0) breath = 0;
  if (breath > 3) breath = 3;
  return 3 - breath;
}

void DrawSleepingCanvas(int breath) {
  BeginFaceCanvas();
  SetColor(kFaceYellow[0], kFaceYellow[1], kFaceYellow[2]);
  DrawOval(0, breath, 90, 90 - breath);
  DrawShutEyeRims(breath + 26);
  DrawLine(36, breath / 2 + 64, 50, breath / 2 + 64);  // still black
  DrawShutEyeLids(breath + 26);
  GrabFaceCanvas();
}

// --- Stage 49 -----------------------------------------------------------------------------

// The track: an ellipse about the screen centre.
constexpr double kTrackX = 400, kTrackY = 300, kTrackRadiusX = 348, kTrackRadiusY = 261;
constexpr double kPush = 8;  // pixels the face is pushed straight away from the cursor

double DistanceToCursor(double x, double y) {
  return Sqrt(Pow(x - g.cursor_x, 2) + Pow(y - g.cursor_y, 2));
}

// The angle of (x, y) round the track's centre, the horizontal squeezed to the track's shape.
void UpdateOrbitAngle(float& orbit_angle, double x, double y) {
  const double d = Sqrt(Pow(kTrackY - y, 2) + Pow((kTrackX - x) * 0.75, 2));
  if (d <= 0) return;  // on the centre itself: keep the angle
  double c = (x - kTrackX) * 0.75 / d;
  // Rounding may carry the quotient a hair past +-1, where acos has no value.
  if (c > 1) c = 1;
  if (c < -1) c = -1;
  const double angle = y > kTrackY ? 360 - ACos(c) : ACos(c);
  orbit_angle = static_cast<float>(std::fmod(angle, 360.0));
}

struct TrackPoint {
  double x, y;
};
TrackPoint OnTrack(double angle) {
  return {kTrackX + kTrackRadiusX * Cos(angle), kTrackY - kTrackRadiusY * Sin(angle)};
}

// A point a step ahead on the track if it takes the face more than 5 pixels further from the
// cursor, else a step back if that does, else the point of the current angle.
TrackPoint FleeTarget(float orbit_angle, double step, double x, double y) {
  const double now = DistanceToCursor(x, y);
  const TrackPoint ahead{kTrackX + kTrackRadiusX * Cos(double{orbit_angle} - 360 + step),
                         kTrackY - kTrackRadiusY * Sin(step + orbit_angle - 360)};
  if (DistanceToCursor(ahead.x, ahead.y) - now > 5) return ahead;
  const TrackPoint behind = OnTrack(orbit_angle - step);
  if (DistanceToCursor(behind.x, behind.y) - now > 5) return behind;
  return OnTrack(orbit_angle);
}

}  // namespace

void RunStage48() {
  int& breath = g.scene_var_1;
  while (g.stage == 48) {
    const int f = g.stage_frame;
    breath = Breath(f);
    DrawSleepingCanvas(breath);

    SetBlend(3);
    if (f > 350) SetAlpha(static_cast<float>((490 - f) / 140.0));  // fading away
    DrawFaceImage(g.face_x, g.face_y);
    SetAlpha(1.0f);

    WaitFrame();
    if (g.stage_frame == 491) SetStage(74);
    Flip(-1);
  }
}

void RunStage49() {
  float& orbit_angle = g.scene_real;
  int& moving_frames = g.scene_var_1;
  int& still_frames = g.scene_var_2;
  int& prev_cursor_x = g.scene_var_4;
  int& prev_cursor_y = g.scene_var_5;
  float face_real_x = static_cast<float>(g.face_x);
  float face_real_y = static_cast<float>(g.face_y);
  if (g.stage == 49) {
    orbit_angle = 0;
    moving_frames = 0;
    still_frames = 0;
  }
  while (g.stage == 49) {
    DrawWaryFace();

    const double L = face_real_x;
    const double M = face_real_y;
    UpdateOrbitAngle(orbit_angle, L, M);
    const double step = RandomFloat(5, 8);
    const TrackPoint target = FleeTarget(orbit_angle, step, L, M);
    const float nx = static_cast<float>(target.x);
    const float ny = static_cast<float>(target.y);

    // Pushed away from the cursor, x first. With the cursor exactly on the face there is no
    // direction away from it: no push on that axis this frame.
    float pushed_x = face_real_x;
    const double r1 = DistanceToCursor(L, M);
    if (r1 > 0) pushed_x = static_cast<float>((L - g.cursor_x) / r1 * kPush + L);
    float pushed_y = face_real_y;
    const double r2 = Sqrt(Pow(M - g.cursor_y, 2) + Pow(pushed_x - g.cursor_x, 2));
    if (r2 > 0) pushed_y = static_cast<float>((M - g.cursor_y) / r2 * kPush + M);

    const double jitter_x = RandomFloat(double{-0.4f}, double{0.4f});
    face_real_x = (pushed_x + nx) / 2;
    g.face_x = TruncToInt(jitter_x + face_real_x);
    const double jitter_y = RandomFloat(double{-0.4f}, double{0.4f});
    face_real_y = (pushed_y + ny) / 2;
    g.face_y = TruncToInt(jitter_y + face_real_y);
    DrawFaceImage(g.face_x, g.face_y);

    prev_cursor_x = g.cursor_x;
    prev_cursor_y = g.cursor_y;
    UpdateCursor(kCursorSpeed);
    if (g.cursor_x == prev_cursor_x && g.cursor_y == prev_cursor_y) {
      ++still_frames;
    } else {
      ++moving_frames;
    }
    // A click on the face counts as a good deal of chasing.
    if (CursorDistance() < 52 && g.mouse_clicked != 0) moving_frames += 50;
    WaitFrame();

    if (moving_frames > 400) SetStage(50);
    if (still_frames == 470) SetStage(51);
    Flip(-1);
  }
}
