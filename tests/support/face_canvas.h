#pragma once
// A face built from primitives in the top-left 90x90 corner, over the blue that the grab makes
// transparent: what the game draws every frame, for drawing-layer tests, the demo and the bench.
void DrawPrimitiveFace(int look_x = 0, int look_y = 0);
