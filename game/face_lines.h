#pragma once
// Marks on the face canvas that several scenes draw alike.

// Creased brows: two short olive strokes slanting up over the outer corners of the eyes.
void DrawWorryLines();
// Both eyes shut: black circles at (10, y) and (50, y) under face-coloured ones a pixel higher,
// so only a one-pixel lower rim is left of each eye.
void DrawShutEyes(int y);
// Its two halves, for a mouth drawn between them: the black circles (leaving black in force),
// then the face-coloured ones.
void DrawShutEyeRims(int y);
void DrawShutEyeLids(int y);
// Face-coloured bars cutting the outer upper corners of the eye whites: a worried look.
void DrawSlantedLids();
// Eye whites that stay put under heavy lids covering their upper 13 rows, with black lower edges;
// the pupils follow the gaze, up and down by half. Leaves black in force.
void DrawHeavyLiddedEyes();
// The frown picture (mouth4) at (x, y), opaque in mask blend; leaves mask blend.
void DrawFrown(int x, int y);
// A grin of bared teeth: a bar 20x4 with its top at y, drawn in the colour in force (black), the
// teeth in `teeth` inside it parted by three black gaps, and creases in `creases` at its ends.
void DrawBaredTeeth(int y, const int (&teeth)[3], const int (&creases)[3]);
