#include "game/movie/session_digest.h"

#include <cstring>
#include <initializer_list>

#include "draw2d/draw_digest.h"
#include "game/state.h"
#include "system/random.h"

namespace {

// FNV-1a over 32-bit words, a byte at a time.
class Fnv {
 public:
  void Add(uint32_t word) {
    for (int i = 0; i < 4; ++i) {
      _hash ^= (word >> (8 * i)) & 0xFF;
      _hash *= 0x100000001b3ULL;
    }
  }
  uint64_t value() const { return _hash; }

 private:
  uint64_t _hash = 0xcbf29ce484222325ULL;
};

}  // namespace

uint64_t SessionDigest() {
  Fnv fnv;
  for (int32_t v : {g.stage, g.stage_frame, g.stage_scratch_a, g.stage_scratch_b, g.blink_due,
                    g.blink_phase, g.face_x, g.face_y, g.cursor_x, g.cursor_y, g.look_x, g.look_y,
                    g.mouse_clicked, g.scene_var_1, g.scene_var_2, g.scene_var_3, g.scene_var_4,
                    g.scene_var_5, g.scene_var_6, g.scene_var_7, g.squash, g.flee_dir,
                    int32_t{g.yawned}, g.move_index, g.poke_count, RandomState()}) {
    fnv.Add(static_cast<uint32_t>(v));
  }
  // The real's bits (std::bit_cast is missing from the browser build's C++ library).
  uint32_t real_bits = 0;
  static_assert(sizeof real_bits == sizeof g.scene_real);
  std::memcpy(&real_bits, &g.scene_real, sizeof real_bits);
  fnv.Add(real_bits);
  for (int32_t move : g.moves) fnv.Add(static_cast<uint32_t>(move));
  const uint64_t drawn = DrawDigest();
  fnv.Add(static_cast<uint32_t>(drawn));
  fnv.Add(static_cast<uint32_t>(drawn >> 32));
  return fnv.value();
}
