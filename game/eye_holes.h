#pragma once
// A dozing face whose eyes become holes: on the face canvas the eye areas are painted in the mask
// colour, leaving only dark lower rims that fade in; on the screen, behind where the face will be
// drawn, eye whites, pupils and yellow lids are drawn, so the lids closing behind the holes shut
// the eyes. Stages 37, 40 and 46 draw it with the differences held in EyeHoleStyle.
//
// Order within a frame: BeginFaceCanvas and the disc, DrawEyeHoleRims, the stage's own canvas
// features, GrabFaceCanvas, DrawEyesBehindHoles, then the face drawn over it in mask blend.

struct EyeHoleStyle {
  // The dark rims fade in with alpha frame / rim_fade_frames (computed as a real); from that frame
  // on the alpha of 1 that the previous frame left stays.
  int rim_fade_frames;
  // Whether the rims, holes and eye whites rise and fall with look_y / 3 (otherwise they stay put).
  bool whites_follow_look_y;
  // The pupils behind the holes sit look_y / pupil_look_y_divisor lower (integer division).
  int pupil_look_y_divisor;
  // Everything (rims, holes, whites, pupils, lids) placed this many pixels lower.
  int drop;
  // The lids stay open up to lid_start, then grow by one pixel every lid_frames_per_pixel frames
  // (a real height, (frame - lid_start) / lid_frames_per_pixel) ...
  int lid_start;
  float lid_frames_per_pixel;
  // ... until lid_closing_end; after it they stand at lid_shut_height (eyes shut).
  int lid_closing_end;
  int lid_shut_height;
};

// The three dozing faces.
inline constexpr EyeHoleStyle kDozingEyeHoles{300, true, 1, 0, 160, 3.742f, 275, 31};  // stage 37
inline constexpr EyeHoleStyle kRedozingEyeHoles{200, false, 2, 0, 100, 2.338f, 171, 32};  // 40
inline constexpr EyeHoleStyle kDrowsyEyeHoles{300, true, 1, 2, 160, 3.742f, 275, 32};  // stage 46

// The canvas part: black rims at 24 + drop (+ look_y / 3 when following), then in blend 1 and
// alpha 1 the holes in the mask colour one pixel higher. The frame number is the fade's working
// value, left in scene_real. Leaves blend 1, alpha 1, colour blue.
void DrawEyeHoleRims(int frame, const EyeHoleStyle& style);

// The screen part, around (face_x, face_y) with the current look_x, look_y: white eyeballs,
// black pupils, yellow lids, in the current blend. Leaves the colour yellow.
void DrawEyesBehindHoles(int frame, const EyeHoleStyle& style);

// A whole frame of the dozing face of stages 37 and 40: the canvas with the rims and a mouth line
// from (mouth_left, 66) to (61, 65), grabbed; the eyes behind the holes; the face over them.
void DrawDozingFace(int frame, const EyeHoleStyle& style, int mouth_left);

// The lid height drawn behind the holes in `frame`.
double EyeHoleLidHeight(int frame, const EyeHoleStyle& style);

// A dozing face backs away from the cursor: each axis moves by its own random share (-0.2..4.3)
// of the unit direction away from the cursor, then the face is clamped to 45..755, 45..555. The
// distance is a single-precision value and is left in scene_real. Two random draws, x then y.
void BackAwayFromCursor();

// With the cursor exactly on the face centre there is no direction away from it: the face backs
// off sideways toward the middle of the screen instead (+1 right, -1 left), the side stage 36
// places it on in the same case, so it still moves clear of the cursor.
int SideAwayFromCoveringCursor();

// The sleeping face after the lids have shut (stages 38 and 41): it breathes with closed eyes,
// the cursor slows and fades over frames 0..69, the face fades over 301..449 and at 450 the
// closing card begins. `mouth_left` is where the mouth line starts.
void RunSleepingFadeOut(int stage, int mouth_left);
