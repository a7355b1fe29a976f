#pragma once
// Marks on the face canvas that several scenes draw alike.

// Creased brows: two short olive strokes slanting up over the outer corners of the eyes.
void DrawWorryLines();
// Both eyes shut: black circles at (10, y) and (50, y) under face-coloured ones a pixel higher,
// so only a one-pixel lower rim is left of each eye.
void DrawShutEyes(int y);
