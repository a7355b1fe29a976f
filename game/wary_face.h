#pragma once
// The wary face of the chase and of the parting (stages 49 and 51): worried lids and doubled
// brows, eye whites that twitch small on random frames, and a flat mouth that jitters a pixel.
// Drawn on the face canvas and grabbed; four random draws per frame (left eye, right eye, two for
// the mouth), in that order.
void DrawWaryFace();
