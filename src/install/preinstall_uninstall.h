// Removing an existing installation before installing the new package.
#pragma once

#include "state/install_state.h"

// Returns the staged uninstaller's exit code; 0 when there is nothing to remove or in a dry
// run; -1 when staging or starting it failed. The install goes on whatever the result.
int run_existing_uninstaller(install_state* state);
