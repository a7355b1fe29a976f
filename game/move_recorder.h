#pragma once
// Follow-the-leader: the cursor moved with a per-axis speed from the pointer's offset, and the
// player's strokes turned into a short list of directions for the face to copy.

// Directions as the move list stores them; kMoveNone also ends a list.
enum MoveDirection { kMoveNone = 0, kMoveRight = 1, kMoveDown = 2, kMoveLeft = 3, kMoveUp = 4 };
constexpr int kMoveSlots = 7;

// The pointer's offset from the screen centre since it was last recentred.
void ReadPointerStep(int& step_dx, int& step_dy);
// The weaker axis is scaled by 0.8 (on a tie, y), so diagonal strokes lean to the stronger one.
void DampWeakerAxis(int& step_dx, int& step_dy);
// The cursor moved by step * factor on each axis (double arithmetic, single-precision factors),
// clamped to the screen; the pointer recentred and the arrow drawn at alpha 0.7 in alpha blend.
// The colour is not set and the alpha not restored: the next frame's canvas starts from 0.7.
void StepCursor(int step_dx, int step_dy, float factor_x, float factor_y);

// The player pulls back against the move being recorded by more than 2 pixels in one frame.
bool BackingOff(int move, int step_dx, int step_dy);

// How far a stroke must lead the sideways drift to count: a horizontal move needs
// |ox| > |oy| + horizontal_lead, a vertical one |oy| > |ox| + vertical_lead. A new entry is
// written only once the stroke is longer than min_length.
struct MoveThresholds {
  int horizontal_lead;
  int vertical_lead;
  int min_length = 8;
};

// One frame of recording with (ox, oy) the cursor's offset from where the current move began.
// The same direction extends the current entry; a new one advances move_index (the entry is
// filled once the stroke is long enough), and an entry that only repeats the one before is
// dropped. At most one direction can match per frame. Returns whether move_index advanced.
bool RecordMove(int (&moves)[kMoveSlots], int& move_index, int ox, int oy,
                const MoveThresholds& thresholds);
