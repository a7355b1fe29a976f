#pragma once
// A face that yawns and falls asleep (stages 44 and 50), drawn on the face canvas after
// BeginFaceCanvas, `t` frames after the yawn began (t >= 0):
// - breath: 0 when the yawn begins, sinking in over t 148..164, then from t 166 a 180-frame cycle
//   of 1..6 read from `frame`, the stage frame; in between it keeps its value;
// - the disc, shortened by the breath; the eyes shut, up during the yawn and down again, then
//   riding the breath;
// - the mouth a hole in the canvas blue (the picture behind the face shows through it): opening
//   until t 44, trembling until t 74 (one random draw a frame, left in yawn_jitter), closing
//   until t 104; asleep, a straight black line.
void DrawYawnIntoSleep(int t, int frame, int& breath, int& yawn_jitter);
