#include <gtest/gtest.h>

#include "base/json_field.h"

TEST(JsonStringField, FlatLookup) {
  char out[16];
  EXPECT_EQ(json_string_field("{\"a\" : \"x\", \"host_prefix\":\"dev-\"}", "host_prefix", out, sizeof out), 0);
  EXPECT_STREQ(out, "dev-");
  EXPECT_EQ(json_string_field("{\"k\":\t:: \"v\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "v");
  EXPECT_EQ(json_string_field("{\"k\":\"0123456789abcdefXYZ\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "0123456789abcde");  // cut to size-1
  EXPECT_EQ(json_string_field("{\"k\":\"a\\\"b\"}", "k", out, sizeof out), 0);
  EXPECT_STREQ(out, "a\\");  // no escapes understood
}

TEST(JsonStringField, MissingOrMalformed) {
  char out[16] = "stale";
  EXPECT_EQ(json_string_field("{\"k\":5}", "k", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(json_string_field("{\"kk\":\"v\"}", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field("{\"k\":\"unterminated", "k", out, sizeof out), -1);
  EXPECT_EQ(json_string_field(nullptr, "k", out, sizeof out), -1);
  // Only the first occurrence counts, even when a later one is well formed.
  EXPECT_EQ(json_string_field("{\"k\":1,\"k\":\"v\"}", "k", out, sizeof out), -1);
}
