// Stages 4 to 6: the face, awake now, stares and hops once (4), hops about the screen (5), then
// hops for joy until the cursor touches it and knocks it away (6).
#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/cursor.h"
#include "game/face.h"
#include "game/face_lines.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"
#include "system/numeric.h"
#include "system/random.h"

namespace {

// The hops of stages 5 and 6. They live in shared variables, so stage 6 starts from wherever
// stage 5 left the face.
struct Hop {
  int& height = g.scene_var_3;          // how far above start_y the face is at the peak
  int& drift = g.scene_var_4;           // sideways travel; the face moves drift / 30 a frame
  int& peak_frame = g.stage_scratch_a;  // the frame at which the face is highest
  int& start_y = g.scene_var_2;         // the line the hops rise from and land on
  int& start_x = g.scene_var_1;         // where the current hop took off (kept, not read)

  // A parabola through start_y 15 frames either side of the peak; without a new hop the face
  // keeps falling past start_y.
  int Y(int f) const {
    const double from_peak = f - peak_frame;
    return TruncToInt((start_y - height) + from_peak * from_peak * height / 225.0);
  }

  // The small first hop, peaking at frame 15.
  void StartFirst() {
    height = 60;
    drift = 0;
    peak_frame = 15;
    start_x = g.face_x;
    start_y = g.face_y;
  }

  // A new hop from frame f; one that would carry the face past x 50 or x 750 goes the other way.
  void Start(int f, int new_height, int new_drift) {
    height = new_height;
    drift = new_drift;
    if (g.face_x + drift < 50 || g.face_x + drift > 750) drift = -drift;
    peak_frame = f + 15;
    start_x = g.face_x;
  }
};

// Stage 6's face once touched: grumpy.
void DrawGrumpyFeatures() {
  DrawHeavyLiddedEyes();
  DrawLine(37, 70, 53, 70);  // a flat mouth
}

}  // namespace

// The stare: eyes fixed ahead, one hop on the spot, then blinking. A jerk of the cursor makes the
// face look at it and leads to stage 12 seven frames later; calm until frame 200 leads to stage 5.
void RunStage4() {
  int& jerk_frame = g.stage_scratch_a;  // -1 until the cursor jerks
  int& cursor_x_before = g.scene_var_1;
  int& cursor_y_before = g.scene_var_2;

  while (g.stage == 4) {
    const int f = g.stage_frame;
    if (f == 0) ScheduleBlink(10, 30);

    BeginFaceCanvas();
    DrawFaceDisc();
    if (jerk_frame >= 0) {
      DrawStandardEyes();
    } else {
      DrawStaringEyes();  // straight ahead, whatever the cursor does
    }
    if (f > 120) DrawBlink(20, 50);
    SetColor(0, 0, 0);
    DrawLine(35, 63, 55, 63);
    GrabFaceCanvas();

    // One hop 90 pixels high, peaking at frame 65.
    double y = g.face_y;
    if (f >= 50 && f <= 80) y = (g.face_y - 90) + (f - 65) * (f - 65) * double{0.4f};
    DrawFaceImage(g.face_x, static_cast<float>(y));

    cursor_x_before = g.cursor_x;
    cursor_y_before = g.cursor_y;
    UpdateCursor(0.8f);
    // While the face is in the air it does not notice.
    if (CursorJerked(cursor_x_before, cursor_y_before) && (f <= 50 || f >= 80)) jerk_frame = f;

    WaitFrame();
    if (g.stage_frame == 200 && jerk_frame == -1) {
      SetStage(5);
    } else if (jerk_frame >= 0 && g.stage_frame > jerk_frame + 6) {
      SetStage(12);
    }
    Flip(-1);
  }
}

// Hopping about with a small mouth and a sidelong look, each hop higher and wider than the last
// and tilted the other way. Always hands over to stage 6 at frame 215.
void RunStage5() {
  Hop hop;
  while (g.stage == 5) {
    const int f = g.stage_frame;

    BeginFaceCanvas();
    DrawFaceDisc();
    DrawEyes(25, g.look_x / 3, g.look_y / 3);  // a glance that moves the pupils a pixel at most
    SetBlend(3);
    SetColor(255, 255, 255);
    DrawImage(g.mouth2_image.get(), 45, 70, 0);
    SetBlend(1);
    GrabFaceCanvas();

    if (f == 0) {
      hop.StartFirst();
    } else if (f % 30 == 0 && f < 210) {
      // Height first, then drift: the order of the draws matters for replays.
      const int height = TruncToInt(RandomFloat(hop.height, hop.height + 33));
      const int drift = TruncToInt(RandomFloat(-2 * f, 2 * f));
      hop.Start(f, height, drift);
    }

    SetRotation((f / 30) % 2 == 0 ? -9 : 9);
    g.face_x += hop.drift / 30;
    g.face_y = hop.Y(f);
    DrawFaceImage(g.face_x, g.face_y);
    SetRotation(0);

    UpdateCursor(0.8f);
    WaitFrame();
    if (g.stage_frame == 215) SetStage(6);
    Flip(-1);
  }
}

// Big happy hops in random directions. A touch of the cursor makes the face grumpy and knocks it
// away from the cursor; it bounces off the screen edges and, once below y 450, stage 9 follows.
// Untouched, stage 7 follows after frame 120.
void RunStage6() {
  Hop hop;
  int& touch_frame = g.stage_scratch_b;  // -1 until the cursor touches the face
  float& lean_source = g.scene_real;     // the drift of the last untouched frame

  while (g.stage == 6) {
    const int f = g.stage_frame;
    const bool touched = touch_frame >= 0;

    BeginFaceCanvas();
    DrawFaceDisc();
    if (touched) {
      DrawGrumpyFeatures();
    } else {
      DrawDelightedFeatures();
    }
    GrabFaceCanvas();

    if (f == 0) {
      hop.StartFirst();
      lean_source = 0;
    } else if (f % 30 == 0 && !touched) {
      const int height = TruncToInt(RandomFloat(150.0, 370.0));
      const int drift = TruncToInt(RandomFloat(-350.0, 350.0));
      hop.Start(f, height, drift);
    }

    // The face leans a degree per pixel of sideways speed; once touched the lean stays.
    if (!touched) lean_source = static_cast<float>(hop.drift);
    SetRotation(lean_source / 30);

    g.face_x += hop.drift / 30;
    g.face_y = hop.Y(f);
    if (touched) {
      // Knocked away, the face stays on screen: the sides bounce it back at 80 % of its speed,
      // the top edge starts its fall again.
      if (g.face_x < 45) {
        g.face_x = 45;
        hop.drift = TruncToInt(-hop.drift * double{0.8f});
      } else if (g.face_x > 755) {
        g.face_x = 755;
        hop.drift = TruncToInt(-hop.drift * double{0.8f});
      }
      if (g.face_y < 45) {
        g.face_y = 45;
        hop.peak_frame = f;
        // A hop whose top lies above the edge would be clamped again on every frame and the face
        // would stick there for good: drop its top to the edge so the fall goes on.
        if (hop.Y(f + 1) < 45) hop.start_y = 45 + hop.height;
      }
    }
    DrawFaceImage(g.face_x, g.face_y);
    SetRotation(0);

    UpdateCursor(0.8f);
    WaitFrame();

    // Touched (no click needed): the face flies away from the cursor, the faster the nearer the
    // cursor is to its centre line; from below it is first knocked 100 pixels up.
    if (touch_frame == -1 && CursorDistance() < 45) {
      touch_frame = g.stage_frame;
      hop.drift = g.cursor_x != g.face_x ? 250 / (g.face_x - g.cursor_x) : -250;
      if (g.cursor_y > g.face_y) {
        hop.peak_frame = g.stage_frame + 15;
        hop.height = 100;
        hop.start_x = g.face_x;
        hop.start_y = g.face_y;
      }
    }

    if (touch_frame >= 0 && g.face_y > 450) SetStage(9);
    if (g.stage_frame > 120 && touch_frame == -1) SetStage(7);
    Flip(-1);
  }
}
