// The onboarding and time-stamp values against Wine's registry: an interactive (non-system)
// process writes its onboarding answers under HKCU; the retired consent values go without
// the key ever being created.
#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "base/reg_view_win.h"
#include "state/onboarding_values.h"

namespace {

const char* const ONBOARDING = "Software\\CorvaneLabs\\Corvane\\Onboarding";

bool matches(const char* text, const char* pattern) { return std::regex_match(text, std::regex(pattern)); }

}  // namespace

TEST(OnboardingValues, UsageDataPreferenceRoundTrip) {
  record_send_usage_data(0);
  EXPECT_EQ(read_send_usage_data(), 0);
  record_send_usage_data(1);
  EXPECT_EQ(read_send_usage_data(), 1);
  reg_write_dword(HKEY_CURRENT_USER, ONBOARDING, REG_VIEW_64, "SendUsageData", 2);
  EXPECT_EQ(read_send_usage_data(), -1);  // another number counts as not set
  reg_write_text(HKEY_CURRENT_USER, ONBOARDING, REG_VIEW_64, "SendUsageData", "1");
  EXPECT_EQ(read_send_usage_data(), -1);
  reg_delete_value(HKEY_CURRENT_USER, ONBOARDING, REG_VIEW_64, "SendUsageData");
  EXPECT_EQ(read_send_usage_data(), -1);
}

TEST(OnboardingValues, InteractiveRunWritesUnderHkcu) {
  const onboarding_root* root = onboarding_root_ensure();
  EXPECT_EQ(root->kind, ONBOARDING_ROOT_HKCU);
  EXPECT_EQ(onboarding_root_ensure(), root);  // resolved once
  onboarding_write_browser("Chrome", 1);
  onboarding_write_browser("", 1);
  onboarding_write_https_filtering(0);
  uint32_t value = 7;
  EXPECT_EQ(reg_read_dword(HKEY_CURRENT_USER, root->browsers_subkey, REG_VIEW_64, "Chrome", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 1u);
  EXPECT_EQ(reg_read_dword(HKEY_CURRENT_USER, root->subkey, REG_VIEW_64, "HttpsFiltering", &value), ERROR_SUCCESS);
  EXPECT_EQ(value, 0u);
  reg_delete_value(HKEY_CURRENT_USER, root->browsers_subkey, REG_VIEW_64, "Chrome");
  reg_delete_value(HKEY_CURRENT_USER, root->subkey, REG_VIEW_64, "HttpsFiltering");
}

TEST(OnboardingValues, HttpsConsentOnlyRetiresValuesOfAnExistingKey) {
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ONBOARDING, KEY_WOW64_64KEY, 0);
  record_https_consent(1);
  HKEY key;
  EXPECT_NE(RegOpenKeyExA(HKEY_LOCAL_MACHINE, ONBOARDING, 0, KEY_READ | KEY_WOW64_64KEY, &key), ERROR_SUCCESS)
      << "recording the consent created the key";
  reg_write_dword(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "HttpsDecryptionConsent", 1);
  reg_write_text(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "HttpsDecryptionConsentSource", "page");
  reg_write_dword(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "KeptValue", 1);
  record_https_consent(0);
  uint32_t value;
  char text[16];
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "HttpsDecryptionConsent", &value),
            ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(
      reg_read_text(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "HttpsDecryptionConsentSource", text, sizeof text),
      ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(reg_read_dword(HKEY_LOCAL_MACHINE, ONBOARDING, REG_VIEW_64, "KeptValue", &value), ERROR_SUCCESS);
  RegDeleteKeyExA(HKEY_LOCAL_MACHINE, ONBOARDING, KEY_WOW64_64KEY, 0);
}

TEST(OnboardingValues, InstallTimesAreUtcStamps) {
  record_install_started();
  record_install_completed();
  char text[64];
  const char* key = "Software\\CorvaneLabs\\Corvane\\Telemetry";
  const char* stamp = R"(20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)";
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, key, REG_VIEW_64, "InstallStartedAtUtc", text, sizeof text),
            ERROR_SUCCESS);
  EXPECT_TRUE(matches(text, stamp)) << text;
  ASSERT_EQ(reg_read_text(HKEY_LOCAL_MACHINE, key, REG_VIEW_64, "InstallCompletedAtUtc", text, sizeof text),
            ERROR_SUCCESS);
  EXPECT_TRUE(matches(text, stamp)) << text;
}
