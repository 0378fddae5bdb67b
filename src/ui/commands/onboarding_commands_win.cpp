// The onboarding pages' answers, written where the installed product reads them (the
// onboarding root of the desktop user). A dry run writes nothing.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/json_field.h"
#include "base/log.h"
#include "base/timestamp.h"
#include "product/product.h"
#include "state/onboarding_values.h"
#include "ui/commands/installer_commands.h"

namespace {

struct filter_row {
  const char* json_key;
  const char* value_name;
};

const filter_row FILTERS[] = {
    {"blockAds", "BlockAds"}, {"blockPrivacy", "BlockPrivacy"}, {"blockSocial", "BlockSocial"}};

bool skipped_in_dry_run(const char* what) {
  if (!ui_install_dry_run()) return false;
  log_write(LOG_UI, LOG_LEVEL_INFO, "DRY RUN: skipping %s reg write", what);
  return true;
}

// Writes value for each non-empty element of the array, lower-cased; the number written.
int write_browsers(const char* json, const char* array_key, int value) {
  int written = 0;
  char name[JSON_ARRAY_ITEM_SIZE];
  for (const char* at = json_next_array_string(json, array_key, nullptr, name, sizeof name); at;
       at = json_next_array_string(json, array_key, at, name, sizeof name)) {
    text_lower_ascii(name);
    if (name[0] && onboarding_write_browser(name, value) == 0) ++written;
  }
  return written;
}

// The marker the product reads to know the onboarding was completed, and by which version.
void write_completion_marker() {
  const char* label = onboarding_root_ensure()->label;
  char now[TIMESTAMP_BUFFER];
  utc_timestamp_ms(now, sizeof now);
  int ok = 1;
  if (onboarding_set_dword(ONBOARDING_KEY_MAIN, "SchemaVersion", 2) != 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "ENG-936: failed to write %s Onboarding\\SchemaVersion=2", label);
    ok = 0;
  }
  if (onboarding_set_text(ONBOARDING_KEY_MAIN, "CompletedDateTime", now) != 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "ENG-936: failed to write %s Onboarding\\CompletedDateTime=%s", label, now);
    ok = 0;
  }
  if (ok)
    log_write(LOG_UI, LOG_LEVEL_INFO,
              "ENG-936: wrote onboarding seed v2 completion marker (%s Onboarding\\SchemaVersion=2, "
              "Onboarding\\CompletedDateTime=%s)",
              label, now);
}

}  // namespace

void ui_save_onboarding_browsers(const char* json, int32_t) {
  if (skipped_in_dry_run("onboarding browser")) return;
  onboarding_clear(ONBOARDING_KEY_BROWSERS);  // the page's answer replaces every earlier one
  int disabled = write_browsers(json, "disabled", 0);
  int enabled = write_browsers(json, "enabled", 1);
  log_write(LOG_UI, LOG_LEVEL_INFO,
            "Onboarding: wrote %d disabled and %d enabled browser value(s) under HKCU\\%s\\Onboarding\\Browsers",
            disabled, enabled, PRODUCT_REG_KEY);
}

void ui_save_onboarding_filters(const char* json, int32_t) {
  if (skipped_in_dry_run("onboarding category")) return;
  const char* label = onboarding_root_ensure()->label;
  int disabled = 0, enabled = 0;
  for (const filter_row& row : FILTERS) {
    int value = json_get_bool(json, row.json_key) ? 0 : 1;  // the page sends the categories switched off
    if (onboarding_set_dword(ONBOARDING_KEY_FILTERS, row.value_name, static_cast<uint32_t>(value)) != 0)
      log_write(LOG_UI, LOG_LEVEL_WARN, "ENG-936: failed to write %s Onboarding\\Filters\\%s=%d", label, row.value_name,
                value);
    else
      ++(value ? enabled : disabled);
  }
  log_write(LOG_UI, LOG_LEVEL_INFO,
            "Onboarding: wrote %d disabled and %d enabled category value(s) under HKCU\\%s\\Onboarding\\Filters",
            disabled, enabled, PRODUCT_REG_KEY);
}

void ui_save_onboarding_https(const char* json, int32_t) {
  if (skipped_in_dry_run("onboarding HTTPS")) return;
  onboarding_write_https_filtering(json_get_bool(json, "filterHttps") ? 0 : 1);
  write_completion_marker();
}

void ui_save_https_decryption_consent(const char* json, int32_t) {
  if (skipped_in_dry_run("HTTPS decryption consent")) return;
  // No page sends this, so whoever does must say which: silence is not consent.
  int granted = json_get_tristate(json, "granted");
  if (granted < 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "HTTPS decryption consent without an explicit \"granted\": nothing recorded");
    return;
  }
  record_https_consent(granted);
  onboarding_write_https_filtering(granted);
}
