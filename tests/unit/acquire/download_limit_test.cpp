// How big a download may claim to be, and when a body passes the maximum.
#include <gtest/gtest.h>

#include "acquire/download_limit.h"

namespace {

TEST(ContentLength, DecimalOnlyAndSaturatingPastSixtyFourBits) {
  uint64_t length = 7;
  EXPECT_EQ(content_length_value("0", &length), 0);
  EXPECT_EQ(length, 0u);
  EXPECT_EQ(content_length_value("1073741825", &length), 0);
  EXPECT_EQ(length, 1073741825u);
  EXPECT_EQ(content_length_value("18446744073709551615", &length), 0);
  EXPECT_EQ(length, UINT64_MAX);
  EXPECT_EQ(content_length_value("18446744073709551616", &length), 0);  // would wrap to 0
  EXPECT_EQ(length, UINT64_MAX);
  for (const char* bad : {"", "-1", "12 ", "0x10", "1e9"}) EXPECT_EQ(content_length_value(bad, &length), -1) << bad;
  EXPECT_EQ(content_length_value(nullptr, &length), -1);

  EXPECT_FALSE(download_passes_limit(0, 100, 100));
  EXPECT_TRUE(download_passes_limit(1, 100, 100));
  EXPECT_TRUE(download_passes_limit(50, UINT64_MAX, 100));  // total + got would wrap
  EXPECT_TRUE(download_passes_limit(101, 0, 100));
}

}  // namespace
