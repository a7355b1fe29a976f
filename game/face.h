#pragma once
// The face canvas: every frame the face is drawn from primitives into the top-left 90x90 corner
// of the back buffer over blue, grabbed into face_image with blue made transparent, and drawn
// wherever the face is.

class TImage;

void BeginFaceCanvas();                // SetBlend(1); the blue 90x90 square
void DrawFaceDisc();                   // the full yellow disc
// Eye whites 30 across with their tops at white_y (x 10 and 50), black pupils 20 across moved
// (pupil_dx, pupil_dy) from where they rest, (15, 30) and (55, 30).
void DrawEyes(int white_y, int pupil_dx, int pupil_dy);
void DrawStandardEyes();               // eye whites at look_y / 3 + 25, pupils following the cursor
void DrawStaringEyes();                // eye whites at y 25, pupils fixed straight ahead
void DrawDelightedFeatures();          // eyes shut in delight, mouth wide open
void GrabFaceCanvas();                 // SetMaskColor(0, 0, 255); GrabImage(face_image); Cls
void DrawFaceImage(float x, float y);  // SetColor(255, 255, 255); the face image at (x, y)
// A picture centred (dx, dy) from the face centre, then the face over it, both in the current
// blend: in mask blend the picture shows only through holes left in the face (an open mouth).
void DrawFaceWithPictureBehind(TImage* picture, int dx, int dy);

// The closed-eye picture: closed_eye_image made on the canvas corner as a 30x30 picture holding
// only the lower rim of a circle, white masked out (the mask colour is left white).
void MakeClosedEyeImage();
// Both eyes closed, smiling: the closed-eye picture drawn black at (25, y) and (65, y).
void DrawClosedEyes(int y);

void DrawBlink(int lo, int hi);
void ScheduleBlink(int lo, int hi);

// The canvas colours.
constexpr int kCanvasBlue[3] = {0, 0, 255};
constexpr int kFaceYellow[3] = {241, 230, 63};
