// Phase 2 of every uninstall: remove the MSI package, then what the package and the
// product leave behind. Runs after close_running_product.
#pragma once

#include "state/install_state.h"

enum uninstall_result {
  UNINSTALL_COMPLETE = 0,
  // Something besides the uninstaller is left in the install folder; the uninstaller is
  // kept there for a manual retry.
  UNINSTALL_FILES_REMAIN = 2,
};

// Never fails outward: a failed MSI removal shows only in the log, in the missing
// "corvane.uninstaller.uninstall" event and in what the guards keep (the data folders
// while the package is still registered, the product key after any failed removal).
// The caller has switched WOW64 file-system redirection off.
uninstall_result uninstall_msi_and_clean(install_state* state);
