#include <gtest/gtest.h>

#include "telemetry/retry_after.h"

namespace {
constexpr uint64_t NOW = 1792567680;  // Wed, 21 Oct 2026 07:28:00 GMT
}

TEST(RetryAfter, SecondsAndDates) {
  struct row {
    const char* value;
    int result;
    uint64_t seconds;
  } rows[] = {
      {"120", 0, 120},
      {" \t7 ", 0, 7},
      {"0", 0, 0},
      {"99999999999999999999", 0, 4294967295u},      // saturates instead of wrapping
      {"Wed, 21 Oct 2026 07:28:30 GMT", 0, 30},
      {"Thu, 22 Oct 2026 07:28:00 GMT", 0, 86400},
      {"Tue, 29 Feb 2028 00:00:00 GMT", 0, 42827520},  // a leap day
      {"Wed, 21 Oct 2026 07:27:00 GMT", 0, 0},         // already past
      {"Wed, 21 Oct 2026 07:28:30 UTC", -1, 0},
      {"Wed, 21 Okt 2026 07:28:30 GMT", -1, 0},
      {"Wed, 21 Oct 2026 25:28:30 GMT", -1, 0},
      {"Wednesday, 21-Oct-26 07:28:30 GMT", -1, 0},    // the obsolete form is not read
      {"12abc", -1, 0},
      {"-5", -1, 0},
      {"", -1, 0},
      {nullptr, -1, 0},
  };
  for (const row& r : rows) {
    uint64_t seconds = 99;
    EXPECT_EQ(retry_after_seconds(r.value, NOW, &seconds), r.result) << (r.value ? r.value : "null");
    EXPECT_EQ(seconds, r.seconds) << (r.value ? r.value : "null");
  }
}

TEST(RetryAfter, WaitIsCappedAndLeavesTheShutDownReserve) {
  struct row {
    uint64_t seconds;
    int64_t ms_left;
    uint32_t wait;
  } rows[] = {
      {2, -1, 2000},
      {120, -1, RETRY_AFTER_CAP_MS},
      {4294967295u, -1, RETRY_AFTER_CAP_MS},
      {2, 20000, 2000},
      {4, 5000, 2000},  // only what leaves one more POST's time
      {4, RETRY_AFTER_RESERVE_MS, 0},
      {4, 0, 0},
  };
  for (const row& r : rows) EXPECT_EQ(retry_after_wait_ms(r.seconds, r.ms_left), r.wait) << r.seconds << " " << r.ms_left;
}
