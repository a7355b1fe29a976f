#pragma once
// All of the game's state: plain data that a test can reset and read. Integers are 32-bit and
// every value keeps its meaning across stage changes unless a stage says otherwise.
//
// Arithmetic conventions of the stage code: reals are stored into integers with TruncToInt;
// the scenes' real constants are single-precision values widened to double where the sum is
// formed in double (written double{0.7f}), so runs replay the same frames to the pixel.
#include <cstdint>
#include <memory>

#include "draw2d/image.h"
#include "system/timer.h"

struct GameState {
  int32_t cursor_x = 190;
  int32_t cursor_y = 430;
  int32_t mouse_clicked = 0;
  int32_t look_x = 0;
  int32_t look_y = 0;
  int32_t face_x = 400;
  int32_t face_y = 300;
  int32_t blink_phase = 0;
  int32_t blink_due = 0;
  float scene_real = 0.0f;
  int32_t scene_var_1 = 0;
  int32_t scene_var_2 = 0;
  int32_t scene_var_3 = 0;
  int32_t scene_var_4 = 0;
  int32_t scene_var_5 = 0;
  int32_t scene_var_6 = 0;
  int32_t scene_var_7 = 0;
  std::shared_ptr<TTimer> frame_timer;
  int32_t stage_frame = 0;
  int32_t stage_scratch_a = -1;
  int32_t stage_scratch_b = -1;
  int32_t stage = 0;

  // Values of the main program that live for the whole run and pass from stage to stage.
  int32_t squash = 0;    // the title's breathing, read by stages 1 to 3
  int32_t flee_dir = 0;  // stage 1's shuffle direction
  bool yawned = false;   // stage 3 has been entered
  // Follow-the-leader (stage 14), taken over by the nodding game of stage 17.
  int32_t moves[7] = {};     // directions to replay: 0 end, 1 right, 2 down, 3 left, 4 up
  int32_t move_index = 0;    // the move being replayed or recorded
  int32_t poke_count = 0;    // pokes counted

  std::shared_ptr<TImage> face_image;
  std::shared_ptr<TImage> closed_eye_image;
  std::shared_ptr<TImage> cursor_image;
  std::shared_ptr<TImage> mouth1_image;
  std::shared_ptr<TImage> mouth2_image;
  std::shared_ptr<TImage> mouth3_image;
  std::shared_ptr<TImage> mouth4_image;
  std::shared_ptr<TImage> mouth5_image;
  std::shared_ptr<TImage> eye2_image;
  std::shared_ptr<TImage> end_image;
  std::shared_ptr<TImage> title_image;
  std::shared_ptr<TImage> title2_image;
};

extern GameState g;

void ResetGameState();  // back to the start values, images and timer dropped
