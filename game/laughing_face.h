#pragma once
// The laughing face of stages 18 and 29, on the face canvas: it bobs by `bounce` (0..10), the top
// of the disc dropping, the eyes shut to arcs riding with it and the open mouth stretched most
// when the face is highest.
void DrawLaughingFace(int bounce);
