// STAND-IN until the install engine exists: a silent install that cannot install reports
// failure, exactly as a failed download or msiexec would.
#include "app/log.h"
#include "install/install_sequence.h"

int run_silent_install(install_state* state) {
  log_error("Silent install sequence not in this build — nothing installed%s", state->dry_run ? " (dry run)" : "");
  return 1;
}
