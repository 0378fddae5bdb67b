// Running the product package with the Windows Installer.
#pragma once

#include "state/install_state.h"

// msiexec exit codes that mean done: 0, and 3010 (done, reboot needed — never forced).
inline int msi_success(int code) { return code == 0 || code == 3010; }

// Installs the package quietly; returns msiexec's exit code, -1 when it could not start,
// 0 in a dry run (which only simulates the time an install takes).
int run_msi_install(install_state* state, const char* msi_path);
