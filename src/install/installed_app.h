// Whether the product's desktop app is on disk after an install: the worker's outcome and
// the launch at the end depend on it.
#pragma once

#include "state/install_state.h"

// True when the product's desktop executable exists where App Paths, our uninstall entry's
// InstallLocation or the state's install_dir says it is.
bool installed_app_present(const install_state* state);
