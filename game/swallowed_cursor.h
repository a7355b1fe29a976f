#pragma once
// While the face holds the cursor in its mouth no cursor is drawn: the mouse pushes the face
// instead, and hard struggling (fast mouse movement) builds up a score that frees the cursor.

// The mouse's work on the face for one frame. The pointer's offset from the screen centre pushes
// the face a pixel once it passes 100, and a second pixel when it passes 300 across (250 up or
// down) on a frame whose roll made the push `strong_x` / `strong_y`. The pointer goes back to the
// centre and the clicks are sampled into mouse_clicked. Returns the struggle the offset scores:
// (|dx| + |dy|) / 100, so only a fast hand ever scores.
int StruggleInsideFace(bool strong_x, bool strong_y);

// The struggle fades: once 41 frames have gone by since the last cut it is cut to 1/`divisor`.
void CutStruggle(int& struggle, int& decay_frame, int divisor);

// The pointer back to the screen centre, the clicks sampled; nothing drawn, no gaze.
void RecentrePointerAndSampleClicks();

// The creased brows of the face that has just given the cursor back.
void DrawCreasedBrows();
