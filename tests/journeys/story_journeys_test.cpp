// Every journey row of every act, played from its start, must take exactly its path.
#include <gtest/gtest.h>

#include <cstdio>
#include <sstream>
#include <string>

#include <set>
#include <utility>

#include "tests/journeys/journey.h"
#include "tests/journeys/story_graph.h"

namespace {

std::string Describe(const std::vector<Leg>& legs) {
  std::ostringstream out;
  for (const Leg& leg : legs) {
    out << " " << leg.from << "->" << leg.to << "@";
    if (leg.at == kAnyFrame) {
      out << "*";
    } else {
      out << leg.at;
    }
  }
  return out.str();
}

bool SamePath(const std::vector<Leg>& want, const std::vector<Leg>& got) {
  if (want.size() != got.size()) return false;
  for (size_t i = 0; i < want.size(); ++i) {
    if (want[i].from != got[i].from || want[i].to != got[i].to) return false;
    if (want[i].at != kAnyFrame && want[i].at != got[i].at) return false;
  }
  return true;
}

class Journeys : public ::testing::TestWithParam<Journey> {};

TEST_P(Journeys, TakesItsPath) {
  const Journey& journey = GetParam();
  const PlayResult result = PlayJourney(journey);
  const std::vector<Leg> taken = TakenLegs(result);
  EXPECT_TRUE(SamePath(journey.legs, taken)) << "expected:" << Describe(journey.legs) << "\n   taken:" << Describe(taken);
  EXPECT_TRUE(result.ended) << "the run hit its frame cap of " << journey.max_frames;
  EXPECT_EQ(result.exit_status, 0);
  if (journey.check) journey.check(result);
}

INSTANTIATE_TEST_SUITE_P(Story, Journeys, ::testing::ValuesIn(AllJourneys()),
                         [](const ::testing::TestParamInfo<Journey>& info) {
                           return info.param.name;
                         });

// Every hand-over the story has is taken by some journey, and no journey takes one it has not.
TEST(StoryGraph, EveryEdgeIsTakenByAJourney) {
  std::set<std::pair<int, int>> edges;
  for (const auto& [from, targets] : StoryGraph()) {
    for (int to : targets) edges.insert({from, to});
  }
  std::set<std::pair<int, int>> taken;
  for (const Journey& journey : AllJourneys()) {
    for (const Leg& leg : TakenLegs(PlayJourney(journey))) {
      EXPECT_TRUE(edges.count({leg.from, leg.to}))
          << journey.name << " took " << leg.from << "->" << leg.to << ", which the story lacks";
      taken.insert({leg.from, leg.to});
    }
  }
  std::string untaken;
  size_t covered = 0;
  for (const auto& edge : edges) {
    if (taken.count(edge)) {
      ++covered;
    } else {
      untaken += " " + std::to_string(edge.first) + "->" + std::to_string(edge.second);
    }
  }
  std::printf("journeys take %zu of the %zu hand-overs of the story\n", covered, edges.size());
  EXPECT_TRUE(untaken.empty()) << "no journey takes:" << untaken;
}

}  // namespace
