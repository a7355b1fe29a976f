#pragma once
// The charge and its knock-back, shared by the charging scenes and the fight: a struck body (the
// cursor, or the face when the player hits back) flies off with decaying speed and bounces off
// the edges of the screen, and the charging face glares with wide pupils and an open mouth.

// Centres of flying bodies stay in this box; a body that would leave it is put on the edge and
// that component of its velocity reversed.
constexpr int kFlightMinX = 45;
constexpr int kFlightMaxX = 755;
constexpr int kFlightMinY = 45;
constexpr int kFlightMaxY = 555;
void ClampToFlightBox(int& x, int& y);

// One frame of flight, `t` frames into it: the position moves by decay^t times the velocity
// (double precision, truncated) and bounces.
void FlyAndBounce(int& x, int& y, int& vx, int& vy, double decay, int t);

// One frame of the knocked cursor, in place of UpdateCursor: the mouse is ignored (clicks are
// consumed, the pointer re-centred), the cursor flies with speed factor 0.99^t and the gaze
// follows it. Nothing is drawn.
void KnockCursorBack(int& vx, int& vy, int t);
// The cursor arrow as UpdateCursor draws it, leaving the alpha at 0.7.
void DrawKnockedCursor();

// The standard eye whites with the charging face's pupils, opened wide toward the cursor.
void DrawWidePupilEyes();
// The open mouth picture, fully opaque whatever alpha an earlier knock-back left.
void DrawOpenMouth();
