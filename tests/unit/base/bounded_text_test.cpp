#include <gtest/gtest.h>

#include <cstring>

#include "base/bounded_text.h"

TEST(BoundedText, CopiesTruncateAndTerminate) {
  char small[4];
  EXPECT_EQ(text_copy(small, "abcdef"), 0);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(text_copy(small, "ab"), 1);
  EXPECT_EQ(text_append(small, "cd"), 0);
  EXPECT_STREQ(small, "abc");
  EXPECT_EQ(text_copy(small, nullptr), 1);
  EXPECT_STREQ(small, "");
  char unterminated[3] = {'x', 'y', 'z'};
  EXPECT_EQ(text_append(unterminated, "q"), 0);  // repaired, never read past the field
  EXPECT_EQ(strlen(unterminated), 2u);
  char formatted[6];
  EXPECT_EQ(text_format(formatted, sizeof formatted, "%d-%s", 12, "abcdef"), 0);
  EXPECT_STREQ(formatted, "12-ab");
}
