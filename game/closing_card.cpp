// Stage 74: the closing card. A black screen, then the word card near the bottom-right corner;
// the program ends by itself at frame 100, before that frame is presented.
#include "display/graphics.h"
#include "draw2d/image.h"
#include "draw2d/render_state.h"
#include "game/stage_machine.h"
#include "game/stages.h"
#include "game/state.h"

void RunStage74() {
  while (g.stage == 74) {
    Cls();
    SetColor(255, 255, 255);
    SetAlpha(1.0f);
    SetScale(0.7f, 0.7f);
    if (g.stage_frame > 10) DrawImage(g.end_image.get(), 750, 570, 0);
    if (g.stage_frame == 100) EndProgram(0);
    WaitFrame();
    Flip(-1);
  }
}
