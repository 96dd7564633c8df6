// Sharing lines among threads: every line is visited exactly once whatever
// the thread count, and a raised stop flag ends the work early.
#include "core/parallel/work_control.hpp"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace sitewave {
namespace {

std::vector<int> visits(std::size_t count, std::size_t block, int threads) {
  std::vector<std::atomic<int>> seen(count);
  const work_control control{.threads = threads};
  EXPECT_TRUE(for_each_block(count, block, control, [&](std::size_t first, std::size_t last) {
    for (std::size_t i = first; i < last; ++i) seen[i].fetch_add(1);
  }));
  std::vector<int> out;
  for (auto& s : seen) out.push_back(s.load());
  return out;
}

TEST(ForEachBlock, VisitsEveryLineOnceForAnyThreadCount) {
  for (int threads : {1, 2, 3, 8}) {
    for (std::size_t count : {0u, 1u, 15u, 16u, 17u, 1000u}) {
      const auto seen = visits(count, 16, threads);
      EXPECT_EQ(seen, std::vector<int>(count, 1)) << threads << " threads, " << count << " lines";
    }
  }
}

TEST(ForEachBlock, StopsWhenAsked) {
  std::atomic<bool> stop{false};
  std::atomic<int> blocks{0};
  const work_control control{.threads = 2, .stop = &stop};
  const bool complete = for_each_block(1000, 1, control, [&](std::size_t, std::size_t) {
    if (blocks.fetch_add(1) == 10) stop = true;
  });
  EXPECT_FALSE(complete);
  EXPECT_LT(blocks.load(), 20);
}

TEST(ThreadCount, WholeNumbersAreTakenUpToTheLimit) {
  EXPECT_EQ(thread_count("1"), 1);
  EXPECT_EQ(thread_count("3"), 3);
  EXPECT_EQ(thread_count(" 2 "), 2);
  EXPECT_EQ(thread_count("1000"), max_threads);
  EXPECT_EQ(thread_count("99999999999999999999"), max_threads);
}

TEST(ThreadCount, AnythingElseGivesTheMachinesThreads) {
  for (const char* setting : {static_cast<const char*>(nullptr), "", "  ", "0", "-2", "two", "2x",
                              "+2", "1.5", "-99999999999999999999"}) {
    EXPECT_EQ(thread_count(setting), hardware_threads()) << (setting ? setting : "(none)");
  }
}

}  // namespace
}  // namespace sitewave
