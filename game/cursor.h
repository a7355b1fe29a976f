#pragma once
// The game's own cursor, steered by the mouse's motion from the screen centre.
void UpdateCursor(float speed);
int CursorDistance();  // from the face centre to the cursor tip, truncated
// A jerk: the cursor moved more than 12 pixels on either axis since (x_before, y_before).
bool CursorJerked(int x_before, int y_before);
// The two halves of UpdateCursor (before it restores the alpha to 1), for a cursor drawn at an alpha of its own or moved in a way
// of its own. MoveCursorByPointer: the cursor moved by the pointer's motion from the screen centre
// times the speed of each axis, and clamped. ShowMovedCursor: the pointer re-centred, the arrow
// drawn at `alpha` in alpha blend (the colour left as it is), the gaze turned to the cursor and
// the clicks sampled.
void MoveCursorByPointer(float speed_x, float speed_y);
void ShowMovedCursor(float alpha);
void LookAtCursor();  // the pupils' offsets toward the cursor
// The cursor dragged by the pointer's motion times `factor` (single-precision arithmetic), clamped
// to the screen and the pointer re-centred; nothing drawn, gaze and clicks left alone. Used where
// a scene slows the cursor down to nothing while it fades.
void DriftCursor(float factor);
