// Onboarding, consent and time-stamp values the installed product reads from the registry.
#pragma once

#include "state/onboarding_root.h"

// The onboarding root of this process, resolved on first use and then only read.
const onboarding_root* onboarding_root_ensure();
// Resolves the root from the process token and the console session (logs the choice).
void onboarding_root_resolve(onboarding_root* out);

// REG_DWORD per browser under Onboarding\Browsers; an empty name writes nothing.
void onboarding_write_browser(const char* browser_name, int value);
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
