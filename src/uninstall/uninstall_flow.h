// The uninstaller's flows.
#pragma once

#include "state/install_state.h"

// Removes the product without UI; always returns 0 (every uninstall that ran exits 0).
int run_silent_uninstall(install_state* state);
