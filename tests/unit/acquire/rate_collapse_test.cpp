// The rate-collapse rule fed with (tick, bytes) pairs, and the progress percent.
#include <gtest/gtest.h>

#include "acquire/rate_collapse.h"

namespace {

// Feeds one chunk per window of the given length; returns the window index that collapsed, or -1.
int run_windows(rate_collapse_state* s, uint32_t* tick, const uint32_t* bytes, int count, uint32_t window_ms = 2000) {
  for (int i = 0; i < count; ++i) {
    *tick += window_ms;
    if (rate_collapse_feed(s, bytes[i], *tick)) return i;
  }
  return -1;
}

}  // namespace

TEST(RateCollapse, ThreeLowWindowsAfterWarmUpCollapse) {
  rate_collapse_state s;
  uint32_t tick = 1000;
  rate_collapse_begin(&s, tick);
  const uint32_t bytes[] = {2000000, 2000000, 100, 100, 100};
  EXPECT_EQ(run_windows(&s, &tick, bytes, 5), 4);
  EXPECT_EQ(s.peak, 1000000u);
  EXPECT_EQ(s.last_rate, 50u);
}

TEST(RateCollapse, WarmUpWindowsNeverCountAsLow) {
  rate_collapse_state s;
  uint32_t tick = 0;
  rate_collapse_begin(&s, tick);
  // The second warm-up window is slow, yet only the next three decide.
  const uint32_t bytes[] = {2000000, 10, 2000000, 2000000, 2000000};
  EXPECT_EQ(run_windows(&s, &tick, bytes, 5), -1);
}

TEST(RateCollapse, OneGoodWindowClearsTheCount) {
  rate_collapse_state s;
  uint32_t tick = 0;
  rate_collapse_begin(&s, tick);
  const uint32_t bytes[] = {1000, 1000, 10, 10, 1000, 10, 10, 1000, 10, 10, 10};
  EXPECT_EQ(run_windows(&s, &tick, bytes, 11), 10);
}

TEST(RateCollapse, ThresholdIsAQuarterOfPeakInclusive) {
  rate_collapse_state s;
  uint32_t tick = 0;
  rate_collapse_begin(&s, tick);
  const uint32_t bytes[] = {4000, 4000, 1000, 1000, 1000, 999, 999};
  EXPECT_EQ(run_windows(&s, &tick, bytes, 7), -1);  // exactly 25 % is not low
  const uint32_t more[] = {999};
  EXPECT_EQ(run_windows(&s, &tick, more, 1), 0);
}

TEST(RateCollapse, ShortChunksAccumulateUntilTheWindowCloses) {
  rate_collapse_state s;
  rate_collapse_begin(&s, 0);
  for (uint32_t t = 100; t <= 1900; t += 100) EXPECT_EQ(rate_collapse_feed(&s, 8192, t), 0);
  EXPECT_EQ(s.windows_done, 0u);
  EXPECT_EQ(s.window_start, 0u);
  EXPECT_EQ(rate_collapse_feed(&s, 8192, 2000), 0);
  EXPECT_EQ(s.windows_done, 1u);
  EXPECT_EQ(s.last_rate, 20u * 8192u * 1000u / 2000u);
  EXPECT_EQ(s.window_bytes, 0u);
  EXPECT_EQ(s.window_start, 2000u);
}

TEST(RateCollapse, TickWrapAndHugeRatesStayInRange) {
  rate_collapse_state s;
  uint32_t tick = 0xFFFFF000u;
  rate_collapse_begin(&s, tick);
  EXPECT_EQ(rate_collapse_feed(&s, 4000000000u, tick + 2000), 0);  // wraps past zero
  EXPECT_EQ(s.windows_done, 1u);
  EXPECT_EQ(s.last_rate, 2000000000u);
}

TEST(DownloadPercent, CappedAndUnknownLength) {
  EXPECT_EQ(download_percent(0, 0), -1);
  EXPECT_EQ(download_percent(500, 0), -1);
  EXPECT_EQ(download_percent(1, 3), 33);
  EXPECT_EQ(download_percent(3, 3), 100);
  EXPECT_EQ(download_percent(9, 3), 100);
  EXPECT_EQ(download_percent(4000000000u, 4100000000u), 97);  // no 32-bit overflow
}
