// The registry owner and its path helpers against Wine's registry: views, types, truncation
// and the statuses that tell them apart.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/reg_view_win.h"

namespace {

const char* const TEST_KEY = "Software\\CorvaneLabs\\RegistryHelperTest";

class Registry : public ::testing::Test {
 protected:
  void SetUp() override { wipe(); }
  void TearDown() override { wipe(); }
  static void wipe() {
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, KEY_WOW64_64KEY, 0);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, KEY_WOW64_32KEY, 0);
    RegDeleteKeyExA(HKEY_CURRENT_USER, TEST_KEY, KEY_WOW64_64KEY, 0);
  }
  static void raw_set(const char* name, DWORD type, const void* data, DWORD bytes) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), bytes);
    RegCloseKey(key);
  }
};

TEST_F(Registry, StringRoundTripKeepsUtf8AndTruncates) {
  const char* text = "caf\xC3\xA9 \xE2\x82\xAC";  // café €
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Text", text), ERROR_SUCCESS);
  char out[64] = "stale";
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Text", out, sizeof out), ERROR_SUCCESS);
  EXPECT_STREQ(out, text);
  char small[6];
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Text", small, sizeof small), ERROR_MORE_DATA);
  EXPECT_STREQ(small, "caf\xC3\xA9");  // cut on a character boundary
  std::string long_text(5000, 'x');
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Long", long_text.c_str()), ERROR_SUCCESS);
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Long", out, sizeof out), ERROR_MORE_DATA);
  EXPECT_EQ(std::string(out), std::string(63, 'x'));
}

TEST_F(Registry, MissingOrMistypedValuesEmptyTheBuffer) {
  char out[16] = "stale";
  EXPECT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Nothing", out, sizeof out), ERROR_FILE_NOT_FOUND);
  EXPECT_STREQ(out, "");
  DWORD one = 1;
  raw_set("Number", REG_DWORD, &one, sizeof one);
  strcpy(out, "stale");
  EXPECT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Number", out, sizeof out),
            ERROR_UNSUPPORTED_TYPE);
  EXPECT_STREQ(out, "");
  raw_set("Expandable", REG_EXPAND_SZ, "%TEMP%", 7);
  EXPECT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Expandable", out, sizeof out),
            ERROR_UNSUPPORTED_TYPE);
  uint32_t value = 7;
  raw_set("Text", REG_SZ, "1", 2);
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Text", &value), ERROR_UNSUPPORTED_TYPE);
  EXPECT_EQ(value, 0u);
  value = 7;
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Absent", &value), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(value, 0u);
}

TEST_F(Registry, UnterminatedStringIsReadSafely) {
  const wchar_t raw[3] = {L'a', L'b', L'c'};  // stored without its NUL
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\CorvaneLabs\\RegistryHelperTest", 0, nullptr, 0,
                            KEY_WRITE | KEY_WOW64_64KEY, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, L"Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>(raw), sizeof raw);
  RegCloseKey(key);
  char out[16];
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Raw", out, sizeof out), ERROR_SUCCESS);
  EXPECT_STREQ(out, "abc");
}

TEST_F(Registry, DwordRoundTripInThe64BitView) {
  ASSERT_EQ(reg_write_dword(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Flag", 0xFFFFFFFFu), ERROR_SUCCESS);
  uint32_t value = 0;
  ASSERT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Flag", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 0xFFFFFFFFu);
  HKEY key;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &key), ERROR_SUCCESS)
      << "the value landed in the 32-bit view";
}

TEST_F(Registry, DeleteValueTellsAMissingKeyApart) {
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Any"), ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Gone", "x"), ERROR_SUCCESS);
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Gone"), ERROR_SUCCESS);
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Gone"),
            ERROR_SUCCESS);  // key still there, value already gone
  char out[4];
  EXPECT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Gone", out, sizeof out), ERROR_FILE_NOT_FOUND);
}

// The owner opened in the view it names: a value written in the 32-bit view is there and not
// in the 64-bit one; a missing value, a number read as text and a cut text each have their own
// status, and only a cut leaves text behind; expandable text is taken only when asked for, and
// left unexpanded.
TEST_F(Registry, EachViewAndFailureHasItsOwnStatus) {
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, TEST_KEY, KEY_WOW64_32KEY, "Text", "abcdef"), ERROR_SUCCESS);
  ASSERT_EQ(reg_write_text(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, nullptr, "C:\\default.exe"), ERROR_SUCCESS);
  ASSERT_EQ(reg_write_dword(HKEY_LOCAL_MACHINE, TEST_KEY, REG_VIEW_64, "Number", 1), ERROR_SUCCESS);
  raw_set("Expand", REG_EXPAND_SZ, "%ProgramFiles%\\x", 17);
  struct row {
    REGSAM view;
    const char* name;
    size_t size;
    bool allow_expand;
    LSTATUS status;
    const char* text;
  };
  const row rows[] = {
      {KEY_WOW64_32KEY, "Text", 32, false, ERROR_SUCCESS, "abcdef"},
      {KEY_WOW64_64KEY, "Text", 32, true, ERROR_FILE_NOT_FOUND, ""},
      {KEY_WOW64_32KEY, "Missing", 32, false, ERROR_FILE_NOT_FOUND, ""},
      {KEY_WOW64_64KEY, "Number", 32, true, ERROR_UNSUPPORTED_TYPE, ""},
      {KEY_WOW64_32KEY, "Text", 4, false, ERROR_MORE_DATA, "abc"},
      {KEY_WOW64_64KEY, nullptr, 32, true, ERROR_SUCCESS, "C:\\default.exe"},
      {KEY_WOW64_64KEY, "Expand", 32, true, ERROR_SUCCESS, "%ProgramFiles%\\x"},
      {KEY_WOW64_64KEY, "Expand", 32, false, ERROR_UNSUPPORTED_TYPE, ""},
  };
  for (const row& r : rows) {
    reg_key key;
    ASSERT_EQ(key.open(HKEY_LOCAL_MACHINE, TEST_KEY, r.view), ERROR_SUCCESS);
    char out[32] = "stale";
    const char* name = r.name ? r.name : "(default)";
    EXPECT_EQ(key.read_text(r.name, out, r.size, r.allow_expand), r.status) << name << " in view " << r.view;
    EXPECT_STREQ(out, r.text) << name;
  }
}

}  // namespace
