// The install sequence: download, unpack, msiexec, registration, service, launch.
#pragma once

#include "state/install_state.h"

// The silent sequence; 0 on success, 1 on any failure.
int run_silent_install(install_state* state);
