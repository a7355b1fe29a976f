#pragma once
// The arithmetic of the game cursor, shared by UpdateCursor, the title's own cursor copy and
// the scenes that move the cursor their own way.

constexpr int kScreenCentreX = 400;
constexpr int kScreenCentreY = 300;
constexpr int kCursorMinX = 6;
constexpr int kCursorMaxX = 794;
constexpr int kCursorMinY = 9;
constexpr int kCursorMaxY = 591;

// position + increment (a pointer motion scaled by the speed), rounded to single precision and
// truncated toward zero.
int CursorAxisStep(int position, double increment);
int ClampCursorX(int x);
int ClampCursorY(int y);
// -5..5: where the pupils look for a cursor coordinate against the face's.
int GazeOffset(int cursor, int face);
