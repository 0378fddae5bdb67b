// Onboarding, consent and time-stamp values the installed product reads from the registry.
#pragma once

#include <cstdint>

#include "state/onboarding_root.h"

// The onboarding root of this process, resolved on first use and then only read.
const onboarding_root* onboarding_root_ensure();
// Resolves the root from the process token and the console session (logs the choice).
void onboarding_root_resolve(onboarding_root* out);

// The onboarding keys below the root, and plain writes to them (64-bit view; the callers log
// failures on their own channel). 0 or -1.
enum onboarding_key { ONBOARDING_KEY_MAIN, ONBOARDING_KEY_BROWSERS, ONBOARDING_KEY_FILTERS };
int onboarding_set_dword(onboarding_key key, const char* name, uint32_t value);
int onboarding_set_text(onboarding_key key, const char* name, const char* text);
// Deletes the key with everything below it (a page's answers replace the earlier ones whole).
int onboarding_clear(onboarding_key key);

// REG_DWORD per browser under Onboarding\Browsers; an empty name writes nothing. 0 when
// written, -1 otherwise (a failed write is logged).
int onboarding_write_browser(const char* browser_name, int value);
// REG_DWORD "HttpsFiltering" under the onboarding subkey.
void onboarding_write_https_filtering(int value);

// The stored SendUsageData preference: 1, 0, or -1 when absent or of another value.
int read_send_usage_data();
// Writes SendUsageData = 1 or 0 under HKCU and logs the preference.
void record_send_usage_data(int granted);
// Retires the old HTTPS-consent values under HKLM (never creating the key) and logs the choice.
void record_https_consent(int granted);
// Write InstallStartedAtUtc / InstallCompletedAtUtc = now under HKLM ...\Telemetry.
void record_install_started();
void record_install_completed();
