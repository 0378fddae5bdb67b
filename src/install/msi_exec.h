// Running the product package with the Windows Installer.
#pragma once

#include "product/msi_progress.h"  // msi_success
#include "state/install_state.h"

// Installs the package quietly; returns msiexec's exit code, -1 when it could not start,
// 0 in a dry run (which only simulates the time an install takes).
int run_msi_install(install_state* state, const char* msi_path);
