#pragma once
// Fades that several scenes share. Every ramp is real-valued: callers pass the quotient computed
// in floating point, never an integer division, or the fade would jump straight to its end.

// A black veil over the whole screen at `alpha` (alpha blend); the alpha is set back to 1 after.
void FadeScreenToBlack(double alpha);
