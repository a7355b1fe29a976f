// Every journey row of every act, played from its start, must take exactly its path.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "tests/journeys/journey.h"

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

}  // namespace
