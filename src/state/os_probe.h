// System probes that fill install_state's description of the machine (Windows layer).
#pragma once

#include "state/install_state.h"

// Version numbers: os_version and os_build (name and edition too where known).
void probe_os_version(install_state* state);
// Native architecture: "x64", "ARM64" or "x86".
void probe_os_architecture(install_state* state);
// 1 when the current process token is a member of the built-in Administrators group.
int is_process_elevated();
