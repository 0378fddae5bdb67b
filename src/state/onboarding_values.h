// Onboarding, consent and time-stamp values the product reads from the registry.
#pragma once

// The stored SendUsageData preference: 1, 0, or -1 when absent or of another value.
int read_send_usage_data();
// Writes InstallStartedAtUtc = now.
void record_install_started();
