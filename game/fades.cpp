#include "game/fades.h"

#include "draw2d/render_state.h"

void FadeScreenToBlack(double alpha) {
  SetBlend(3);
  SetColor(0, 0, 0);
  SetAlpha(static_cast<float>(alpha));
  DrawRect(0, 0, 800, 600);
  SetAlpha(1.0f);
}
