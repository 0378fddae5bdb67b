#include <windows.h>

#include <initializer_list>

#include "base/log.h"
#include "base/reg_view_win.h"
#include "base/timestamp.h"
#include "product/product.h"
#include "state/onboarding_values.h"

namespace {

constexpr char ONBOARDING_KEY[] = PRODUCT_ONBOARDING_KEY;
constexpr char TELEMETRY_KEY[] = PRODUCT_TELEMETRY_KEY;

int record_now(const char* name) {
  char now[TIMESTAMP_BUFFER];
  utc_timestamp_ms(now, sizeof now);
  return reg_write_text(HKEY_LOCAL_MACHINE, TELEMETRY_KEY, REG_VIEW_64, name, now) == ERROR_SUCCESS ? 0 : -1;
}

HKEY root_key(const onboarding_root* root) {
  if (root->kind == ONBOARDING_ROOT_USERS) return HKEY_USERS;
  return root->kind == ONBOARDING_ROOT_HKLM ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
}

const char* subkey_of(const onboarding_root* root, onboarding_key key) {
  if (key == ONBOARDING_KEY_BROWSERS) return root->browsers_subkey;
  return key == ONBOARDING_KEY_FILTERS ? root->filters_subkey : root->subkey;
}

}  // namespace

int onboarding_set_dword(onboarding_key key, const char* name, uint32_t value) {
  const onboarding_root* root = onboarding_root_ensure();
  return reg_write_dword(root_key(root), subkey_of(root, key), REG_VIEW_64, name, value) == ERROR_SUCCESS ? 0 : -1;
}

int onboarding_set_text(onboarding_key key, const char* name, const char* text) {
  const onboarding_root* root = onboarding_root_ensure();
  return reg_write_text(root_key(root), subkey_of(root, key), REG_VIEW_64, name, text) == ERROR_SUCCESS ? 0 : -1;
}

int onboarding_clear(onboarding_key key) {
  const onboarding_root* root = onboarding_root_ensure();
  LSTATUS status = reg_delete_tree(root_key(root), subkey_of(root, key), REG_VIEW_64);
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? 0 : -1;
}

int onboarding_write_browser(const char* browser_name, int value) {
  if (!browser_name || !*browser_name) return -1;
  if (onboarding_set_dword(ONBOARDING_KEY_BROWSERS, browser_name, static_cast<uint32_t>(value)) == 0) return 0;
  log_warn("ENG-936: failed to write %s Onboarding\\Browsers\\%s=%d", onboarding_root_ensure()->label, browser_name,
           value);
  return -1;
}

void onboarding_write_https_filtering(int value) {
  if (onboarding_set_dword(ONBOARDING_KEY_MAIN, "HttpsFiltering", static_cast<uint32_t>(value)) != 0)
    log_warn("ENG-936: failed to write %s Onboarding\\HttpsFiltering=%d", onboarding_root_ensure()->label, value);
}

int read_send_usage_data() {
  uint32_t value = 0;
  if (reg_read_dword(HKEY_CURRENT_USER, ONBOARDING_KEY, REG_VIEW_64, "SendUsageData", &value) != ERROR_SUCCESS)
    return -1;
  return value == 0 || value == 1 ? static_cast<int>(value) : -1;
}

void record_send_usage_data(int granted) {
  int value = granted ? 1 : 0;
  if (reg_write_dword(HKEY_CURRENT_USER, ONBOARDING_KEY, REG_VIEW_64, "SendUsageData", static_cast<uint32_t>(value)) !=
      ERROR_SUCCESS)
    log_warn("Failed to write SendUsageData=%d to HKCU\\Software\\CorvaneLabs\\Corvane\\Onboarding", value);
  log_info("Anonymous usage-data preference recorded: %s (SendUsageData=%d)", granted ? "Granted" : "Declined", value);
}

void record_https_consent(int granted) {
  // reg_delete_value opens without creating, so a machine that never had the key keeps none.
  for (const char* name : {"DisableHttpsFiltering", "HttpsDecryptionConsent", "HttpsDecryptionConsentRecordedAtUtc",
                           "HttpsDecryptionConsentSource"})
    if (reg_delete_value(HKEY_LOCAL_MACHINE, ONBOARDING_KEY, REG_VIEW_64, name) != ERROR_SUCCESS) break;
  log_info("HTTPS decryption consent recorded: %s (registry signal retired; off-by-default covers decline)",
           granted ? "Granted" : "Declined");
}

void record_install_started() {
  if (record_now("InstallStartedAtUtc") != 0) log_warn("Failed to write InstallStartedAtUtc to registry");
}

void record_install_completed() {
  if (record_now("InstallCompletedAtUtc") != 0) log_warn("Failed to write InstallCompletedAtUtc to registry");
}
