// What of the product is already on the machine.
#pragma once

#include "state/install_state.h"

// Fills the probe; 1 when the product is installed (own entry or MSI entry), else 0.
int probe_existing_install(existing_install_probe* probe);
