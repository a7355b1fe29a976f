#pragma once
// The watchful face of stages 8 and 11, drawn on the face canvas and grabbed: eye whites lowered
// only by look_y / 4, pupils following the cursor, blinking, a short flat mouth.
void DrawWatchfulFace();
