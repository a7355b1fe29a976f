#include "tests/journeys/journey.h"

#include <utility>

namespace {

std::vector<Journey>& Rows() {
  static std::vector<Journey> rows;
  return rows;
}

}  // namespace

JourneyRows::JourneyRows(std::vector<Journey> rows) {
  for (Journey& row : rows) Rows().push_back(std::move(row));
}

const std::vector<Journey>& AllJourneys() { return Rows(); }

std::vector<Leg> TakenLegs(const PlayResult& result) {
  std::vector<Leg> legs;
  const Handover* previous = nullptr;
  for (const Handover& h : result.handovers) {
    // A later SetStage in the same pass of the same stage's code: the stage chosen first never ran.
    if (previous != nullptr && h.frame == previous->frame && h.loop == previous->loop) {
      legs.back().to = h.to;
    } else {
      legs.push_back({h.from, h.to, h.at_stage_frame});
    }
    previous = &h;
  }
  // A pass may hand over and then come back to where it was: no leg at all.
  std::vector<Leg> real;
  for (const Leg& leg : legs) {
    if (leg.from != leg.to) real.push_back(leg);
  }
  return real;
}

PlayResult PlayJourney(const Journey& journey, const std::string& record_movie) {
  PlayOptions options;
  options.record_movie = record_movie;
  options.seed = journey.seed;
  options.max_frames = journey.max_frames;
  const int last_stage = journey.legs.empty() ? -1 : journey.legs.back().to;
  int stage_changes = 0;
  int seen_stage = 0;
  // The stage the loops begin with: a hand-over on the very first frame counts as a change too.
  options.setup = [&] {
    if (journey.setup) journey.setup();
    seen_stage = g.stage;
  };
  return Play(options, [&](PlayerControl& p) {
    const GameState& s = p.state();
    if (s.stage != seen_stage) {
      ++stage_changes;
      seen_stage = s.stage;
    }
    if (s.stage == last_stage && last_stage != 74 &&
        stage_changes >= static_cast<int>(journey.legs.size())) {
      return p.PressEscape();
    }
    auto script = journey.hand.find(s.stage);
    if (script != journey.hand.end()) script->second(p, s.stage_frame);
  });
}

void EnterStageWith(int stage, int face_x, int face_y, int cursor_x, int cursor_y) {
  g.stage = stage;
  g.stage_frame = 0;
  g.face_x = face_x;
  g.face_y = face_y;
  g.cursor_x = cursor_x;
  g.cursor_y = cursor_y;
}

void PokeFace(PlayerControl& p) {
  if (p.SteerTipTo(p.state().face_x, p.state().face_y)) p.Click();
}

void KeepAway(PlayerControl& p) { p.SteerTipTo(20, 560); }
