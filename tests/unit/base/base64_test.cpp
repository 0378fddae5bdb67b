#include <cstring>

#include <gtest/gtest.h>

#include "base/base64.h"

TEST(Base64, DecodesStandardAlphabetAndSkipsNoise) {
  char out[64];
  EXPECT_EQ(base64_decode("eyJ1dG1fc291cmNlIjoieCJ9", out, sizeof out), 18u);
  EXPECT_STREQ(out, "{\"utm_source\":\"x\"}");
  base64_decode("ey Jh\r\nIjo*iYiJ9", out, sizeof out);  // line breaks and strays are skipped
  EXPECT_STREQ(out, "{\"a\":\"b\"}");
  base64_decode("+/+/", out, sizeof out);
  EXPECT_EQ(std::string(out), "\xFB\xFF\xBF");
  base64_decode("", out, sizeof out);
  EXPECT_STREQ(out, "");
  base64_decode(nullptr, out, sizeof out);
  EXPECT_STREQ(out, "");
}

TEST(Base64, PaddingBecomesTerminatingZeros) {
  char out[8];
  memset(out, 'Z', sizeof out);
  EXPECT_EQ(base64_decode("QQ==", out, sizeof out), 3u);  // "A", then two NULs from the padding
  EXPECT_EQ(memcmp(out, "A\0\0\0", 4), 0);
  EXPECT_EQ(base64_decode("QUI=", out, sizeof out), 3u);
  EXPECT_STREQ(out, "AB");
  EXPECT_EQ(base64_decode("QUJD", out, sizeof out), 3u);
  EXPECT_STREQ(out, "ABC");
  EXPECT_EQ(base64_decode("QQ", out, sizeof out), 1u);  // missing padding loses nothing
  EXPECT_STREQ(out, "A");
}

TEST(Base64, OutputStopsBeforeTheLastByte) {
  char out[4];
  EXPECT_EQ(base64_decode("QUJDREVG", out, sizeof out), 3u);
  EXPECT_STREQ(out, "ABC");
  char one[1] = {'Z'};
  EXPECT_EQ(base64_decode("QUJD", one, sizeof one), 0u);
  EXPECT_EQ(one[0], '\0');
}
