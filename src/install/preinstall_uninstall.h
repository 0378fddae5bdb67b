// Removing an existing installation before installing the new package.
#pragma once

#include "state/install_state.h"

// Returns the staged uninstaller's exit code; 0 when there is nothing to remove or in a dry
// run; -1 when staging or starting it failed. The install goes on whatever the result.
int run_existing_uninstaller(install_state* state);

// The old uninstall may still hold the Windows Installer's global mutex, and a new msiexec
// would then fail with 1618: wait for it (and let it go at once) before installing.
enum installer_mutex_wait {
  INSTALLER_MUTEX_ACQUIRED = 1,
  INSTALLER_MUTEX_TIMED_OUT = 0,
  INSTALLER_MUTEX_ABSENT = -1,
  INSTALLER_MUTEX_OTHER = -2,
};
constexpr unsigned long INSTALLER_MUTEX_WAIT_MS = 60000;
int wait_for_installer_mutex(unsigned long timeout_ms);
