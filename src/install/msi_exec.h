// Running the product package with the Windows Installer.
#pragma once

#include "base/process_result.h"
#include "product/msi_progress.h"  // msi_success
#include "state/install_state.h"

// Installs the package quietly; a dry run only simulates the time an install takes and ends
// with 0.
process_result run_msi_install(install_state* state, const char* msi_path);
