// The browser's input as the game gets it: motion only under pointer lock, kept inside the
// picture; the click that asks for the lock is no poke; losing the lock is an Escape press.
#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "system/web/web_input.h"

namespace {

struct Seen {
  int id, data, x, y;
  bool operator==(const Seen&) const = default;
};

constexpr int kMove = EventId::MouseMove, kDown = EventId::MouseDown, kUp = EventId::MouseUp,
              kKey = EventId::KeyDown, kKeyUp = EventId::KeyUp;

TEST(WebInput, EachStepGivesTheGameItsEvents) {
  WebInput input(800, 600);
  input.Warp(400, 300);
  input.Take();
  const struct {
    const char* what;
    std::function<void(WebInput&)> step;
    std::vector<Seen> events;
  } rows[] = {
      {"motion before the lock", [](WebInput& i) { i.Motion(5, 5); }, {}},
      {"a click before the lock", [](WebInput& i) { i.Button(0, true); }, {}},
      {"Escape before the lock", [](WebInput& i) { i.Key(27, true); }, {{kKey, 27, 400, 300}}},
      {"the lock taken", [](WebInput& i) { i.PointerLockChanged(true); }, {}},
      {"relative motion", [](WebInput& i) { i.Motion(10, -5); }, {{kMove, 0, 410, 295}}},
      {"no motion", [](WebInput& i) { i.Motion(0, 0); }, {}},
      {"kept inside", [](WebInput& i) { i.Motion(-1000, 1000); }, {{kMove, 0, 0, 599}}},
      {"inside, the other way", [](WebInput& i) { i.Motion(2000, -2000); }, {{kMove, 0, 799, 0}}},
      {"the game's warp", [](WebInput& i) { i.Warp(400, 300); }, {{kMove, 0, 400, 300}}},
      {"left, middle, right",
       [](WebInput& i) {
         i.Button(0, true);
         i.Button(1, true);
         i.Button(2, false);
         i.Button(3, true);
       },
       {{kDown, 1, 400, 300}, {kDown, 3, 400, 300}, {kUp, 2, 400, 300}}},
      {"other keys", [](WebInput& i) { i.Key(65, true); }, {}},
      {"the lock lost",
       [](WebInput& i) { i.PointerLockChanged(false); },
       {{kKey, 27, 400, 300}, {kKeyUp, 27, 400, 300}}},
      {"lost again", [](WebInput& i) { i.PointerLockChanged(false); }, {}},
      {"motion after", [](WebInput& i) { i.Motion(3, 3); }, {}},
  };
  for (const auto& row : rows) {
    row.step(input);
    std::vector<Seen> seen;
    for (const TEvent& e : input.Take()) seen.push_back({e.id, e.data, e.x, e.y});
    EXPECT_EQ(seen, row.events) << row.what;
    EXPECT_FALSE(input.HasEvents()) << row.what;
  }
}

}  // namespace
