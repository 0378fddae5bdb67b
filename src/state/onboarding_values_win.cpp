// STAND-IN until the onboarding root and its writers exist: no stored preference is read
// (the entry's rule then treats usage data as granted) and nothing is written.
#include "app/log.h"
#include "state/onboarding_values.h"

int read_send_usage_data() { return -1; }

void record_install_started() {
  log_debug("record_install_started: onboarding values not in this build; InstallStartedAtUtc not written");
}
