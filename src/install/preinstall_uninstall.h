// Removing an existing installation before installing the new package.
#pragma once

#include "base/process_result.h"
#include "state/install_state.h"

// The staged uninstaller's run; not started when staging or starting it failed, a run ended
// with 0 when there is nothing to remove or in a dry run. The install goes on whatever the result.
process_result run_existing_uninstaller(install_state* state);

// The old uninstall may still hold the Windows Installer's global mutex, and a new msiexec
// would then fail with 1618: wait for it (and let it go at once) before installing.
enum class installer_mutex_wait { acquired, timed_out, absent, other };
constexpr unsigned long INSTALLER_MUTEX_WAIT_MS = 60000;
installer_mutex_wait wait_for_installer_mutex(unsigned long timeout_ms);
