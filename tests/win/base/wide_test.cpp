// Text handed to Windows is converted whole or not at all: a path cut to fit would name
// another file.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/wide_win.h"

namespace {

TEST(WideText, APathThatDoesNotFitIsRefusedNotCut) {
  wchar_t out[MAX_PATH];
  std::string fits = "C:\\" + std::string(255, 'a');
  ASSERT_EQ(utf8_to_wide(fits.c_str(), out, MAX_PATH), 0);
  EXPECT_EQ(std::wstring(out), L"C:\\" + std::wstring(255, L'a'));
  std::string too_long = "C:\\" + std::string(300, 'a');
  EXPECT_EQ(utf8_to_wide(too_long.c_str(), out, MAX_PATH), -1);
  EXPECT_STREQ(out, L"");
  EXPECT_EQ(utf8_to_wide("\xc3\xa9", out, 2), 0);  // one character and its terminator
  EXPECT_EQ(utf8_to_wide("ab", out, 2), -1);
}

}  // namespace
