// STAND-IN until the uninstall engine exists: logs that nothing was removed and returns
// the code every finished uninstall returns.
#include "app/log.h"
#include "uninstall/uninstall_flow.h"

int run_silent_uninstall(install_state* state) {
  log_warn("Silent uninstall not in this build — nothing removed%s", state->dry_run ? " (dry run)" : "");
  return 0;
}
