#include <windows.h>

#include <initializer_list>

#include "base/log.h"
#include "base/product.h"
#include "base/registry_win.h"
#include "base/timestamp.h"
#include "state/onboarding_values.h"

namespace {

constexpr char ONBOARDING_KEY[] = PRODUCT_ONBOARDING_KEY;
constexpr char TELEMETRY_KEY[] = PRODUCT_TELEMETRY_KEY;

int record_now(const char* name) {
  char now[TIMESTAMP_BUFFER];
  utc_timestamp_ms(now, sizeof now);
  return reg_write_string(HKEY_LOCAL_MACHINE, TELEMETRY_KEY, name, now);
}

HKEY root_key(const onboarding_root* root) {
  if (root->kind == ONBOARDING_ROOT_USERS) return HKEY_USERS;
  return root->kind == ONBOARDING_ROOT_HKLM ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

}  // namespace

void onboarding_write_browser(const char* browser_name, int value) {
  if (!browser_name || !*browser_name) return;
  const onboarding_root* root = onboarding_root_ensure();
  if (reg_write_dword(root_key(root), root->browsers_subkey, browser_name, static_cast<uint32_t>(value)) != 0)
    log_warn("ENG-936: failed to write %s Onboarding\\Browsers\\%s=%d", root->label, browser_name, value);
}

void onboarding_write_https_filtering(int value) {
  const onboarding_root* root = onboarding_root_ensure();
  if (reg_write_dword(root_key(root), root->subkey, "HttpsFiltering", static_cast<uint32_t>(value)) != 0)
    log_warn("ENG-936: failed to write %s Onboarding\\HttpsFiltering=%d", root->label, value);
}

int read_send_usage_data() {
  uint32_t value = 0;
  if (reg_read_dword(HKEY_CURRENT_USER, ONBOARDING_KEY, "SendUsageData", &value) != 0) return -1;
  return value == 0 || value == 1 ? static_cast<int>(value) : -1;
}

void record_send_usage_data(int granted) {
  int value = granted ? 1 : 0;
  if (reg_write_dword(HKEY_CURRENT_USER, ONBOARDING_KEY, "SendUsageData", static_cast<uint32_t>(value)) != 0)
    log_warn("Failed to write SendUsageData=%d to HKCU\\Software\\CorvaneLabs\\Corvane\\Onboarding", value);
  log_info("Anonymous usage-data preference recorded: %s (SendUsageData=%d)", granted ? "Granted" : "Declined", value);
}

void record_https_consent(int granted) {
  // reg_delete_value opens without creating, so a machine that never had the key keeps none.
  for (const char* name : {"DisableHttpsFiltering", "HttpsDecryptionConsent", "HttpsDecryptionConsentRecordedAtUtc",
                           "HttpsDecryptionConsentSource"})
    if (reg_delete_value(HKEY_LOCAL_MACHINE, ONBOARDING_KEY, name) != 0) break;
  log_info("HTTPS decryption consent recorded: %s (registry signal retired; off-by-default covers decline)",
           granted ? "Granted" : "Declined");
}

void record_install_started() {
  if (record_now("InstallStartedAtUtc") != 0) log_warn("Failed to write InstallStartedAtUtc to registry");
}

void record_install_completed() {
  if (record_now("InstallCompletedAtUtc") != 0) log_warn("Failed to write InstallCompletedAtUtc to registry");
}
