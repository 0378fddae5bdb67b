// The registry helpers against Wine's registry: both views, types and truncation.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "base/registry_win.h"

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
  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Text", text), 0);
  char out[64] = "stale";
  ASSERT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Text", out, sizeof out), 0);
  EXPECT_STREQ(out, text);
  char small[6];
  ASSERT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Text", small, sizeof small), 0);
  EXPECT_STREQ(small, "caf\xC3\xA9");  // cut on a character boundary
  std::string long_text(5000, 'x');
  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Long", long_text.c_str()), 0);
  ASSERT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Long", out, sizeof out), 0);
  EXPECT_EQ(std::string(out), std::string(63, 'x'));
}

TEST_F(Registry, MissingOrMistypedValuesEmptyTheBuffer) {
  char out[16] = "stale";
  EXPECT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Nothing", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  DWORD one = 1;
  raw_set("Number", REG_DWORD, &one, sizeof one);
  strcpy(out, "stale");
  EXPECT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Number", out, sizeof out), -1);
  EXPECT_STREQ(out, "");
  raw_set("Expandable", REG_EXPAND_SZ, "%TEMP%", 7);
  EXPECT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Expandable", out, sizeof out), -1);
  uint32_t value = 7;
  raw_set("Text", REG_SZ, "1", 2);
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, "Text", &value), -1);
  EXPECT_EQ(value, 0u);
  value = 7;
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, "Absent", &value), -1);
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
  ASSERT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Raw", out, sizeof out), 0);
  EXPECT_STREQ(out, "abc");
}

TEST_F(Registry, DwordRoundTripInThe64BitView) {
  ASSERT_EQ(reg_write_dword(HKEY_LOCAL_MACHINE, TEST_KEY, "Flag", 0xFFFFFFFFu), 0);
  uint32_t value = 0;
  ASSERT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, TEST_KEY, "Flag", &value), 0);
  EXPECT_EQ(value, 0xFFFFFFFFu);
  HKEY key;
  EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, TEST_KEY, 0, KEY_READ | KEY_WOW64_32KEY, &key), ERROR_SUCCESS)
      << "the value landed in the 32-bit view";
}

TEST_F(Registry, DeleteValueTellsAMissingKeyApart) {
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, "Any"), -1);
  ASSERT_EQ(reg_write_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Gone", "x"), 0);
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, "Gone"), 0);
  EXPECT_EQ(reg_delete_value(HKEY_LOCAL_MACHINE, TEST_KEY, "Gone"), 0);  // key still there, value already gone
  char out[4];
  EXPECT_EQ(reg_read_string(HKEY_LOCAL_MACHINE, TEST_KEY, "Gone", out, sizeof out), -1);
}

}  // namespace
