#include <gtest/gtest.h>

#include "base/timestamp.h"

TEST(Timestamp, Format) {
  char out[TIMESTAMP_BUFFER];
  format_utc_timestamp({2026, 3, 5, 7, 8, 9, 10}, out, sizeof out);
  EXPECT_STREQ(out, "2026-03-05T07:08:09.010Z");
}

TEST(Timestamp, UnixSecondsFromFiletime) {
  constexpr uint64_t TICKS = 10000000;
  EXPECT_EQ(unix_seconds_from_filetime(11644473600ULL * TICKS), 0u);
  EXPECT_EQ(unix_seconds_from_filetime((11644473600ULL + 1767225600ULL) * TICKS + TICKS - 1), 1767225600u);
  EXPECT_EQ(unix_seconds_from_filetime(0), 0u);  // a clock before 1970 does not wrap around
}
