// UTF-16 to UTF-8: the bytes Windows' converter gives, and an output that is terminated and
// whole characters only however the conversion stops.
#include "base/utf8.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

// Converts into a buffer of `size` bytes filled with 'X' first, so a missing terminator shows.
std::string convert(const char16_t* text, size_t size, int* result) {
  char out[64];
  memset(out, 'X', sizeof out);
  *result = utf8_from_utf16(text, out, size);
  EXPECT_NE(memchr(out, '\0', size), nullptr) << "unterminated";
  return std::string(out, strnlen(out, size));
}

TEST(Utf8FromUtf16, EncodesEveryLengthAndReplacesLoneSurrogates) {
  struct row {
    const char16_t* text;
    const char* utf8;
  } rows[] = {
      {u"abc", "abc"},
      {u"\u00e9", "\xc3\xa9"},
      {u"\u20ac", "\xe2\x82\xac"},
      {u"\U0001F600", "\xf0\x9f\x98\x80"},
      {u"a\xd800" "b", "a\xef\xbf\xbd" "b"},  // a high surrogate without its low half
      {u"\xdc00", "\xef\xbf\xbd"},            // a low surrogate alone
      {u"\xd800", "\xef\xbf\xbd"},            // a high surrogate at the end
      {u"", ""},
  };
  for (const row& r : rows) {
    int result = -2;
    EXPECT_EQ(convert(r.text, 64, &result), r.utf8);
    EXPECT_EQ(result, 0);
  }
}

TEST(Utf8FromUtf16, ACutKeepsWholeCharactersAndIsTerminated) {
  int result = -2;
  EXPECT_EQ(convert(u"abcdef", 4, &result), "abc");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(convert(u"a\u20ac", 3, &result), "a");  // the euro sign needs three bytes
  EXPECT_EQ(result, 1);
  EXPECT_EQ(convert(u"\U0001F600x", 4, &result), "");  // the pair is never split
  EXPECT_EQ(result, 1);
  EXPECT_EQ(convert(u"a\xd800", 3, &result), "a");     // nor is the replacement character
  EXPECT_EQ(result, 1);
  EXPECT_EQ(convert(u"ab", 1, &result), "");
  EXPECT_EQ(result, 1);
  EXPECT_EQ(convert(u"ab", 3, &result), "ab");
  EXPECT_EQ(result, 0);
}

TEST(Utf8FromUtf16, NothingToConvertInto) {
  char out[4] = "xyz";
  EXPECT_EQ(utf8_from_utf16(u"a", out, 0), -1);
  EXPECT_STREQ(out, "xyz");
  EXPECT_EQ(utf8_from_utf16(nullptr, out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  EXPECT_EQ(utf8_from_utf16(u"a", nullptr, 4), -1);
}

}  // namespace
