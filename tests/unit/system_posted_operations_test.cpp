// Operations posted to the main thread, and the pipe that wakes it.
#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>
#include <vector>

#include "system/system_driver.h"
#include "tests/support/wake_pipe_probe.h"

TEST(PostedOperationsTest, PostingFromAnotherThreadWakesAndRunsInOrder) {
  // More posts than the pipe has room for bytes: a full pipe must neither block nor lose any.
  constexpr int kPosts = 70000;
  std::vector<int> ran;
  std::thread poster([&ran] {
    for (int i = 0; i < kPosts; ++i) PostOperation([&ran, i] { ran.push_back(i); });
  });
  poster.join();
  EXPECT_TRUE(WakeUpPipeReadable());
  EXPECT_TRUE(PostedOperationsPending());
  RunPostedOperations();
  ASSERT_EQ(ran.size(), size_t{kPosts});
  for (int i = 0; i < kPosts; ++i) ASSERT_EQ(ran[i], i);
  EXPECT_FALSE(WakeUpPipeReadable());
  EXPECT_FALSE(PostedOperationsPending());
}

TEST(PostedOperationsTest, AThrowingOperationLosesNoneOfTheOthers) {
  std::vector<int> ran;
  PostOperation([&] { ran.push_back(1); });
  PostOperation([] { throw std::runtime_error("stop"); });
  PostOperation([&] { ran.push_back(3); });
  EXPECT_THROW(RunPostedOperations(), std::runtime_error);
  EXPECT_EQ(ran, std::vector<int>{1});
  EXPECT_TRUE(PostedOperationsPending());
  RunPostedOperations();
  EXPECT_EQ(ran, (std::vector<int>{1, 3}));
}
