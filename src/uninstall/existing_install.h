// What of the product is already on the machine. Reads the registry (both views), the
// file system and the service manager; never changes anything.
#pragma once

#include <windows.h>

#include <cstddef>

#include "product/product.h"
#include "state/install_state.h"

// Zeroes and fills the probe; true when the product is installed (this program's own
// uninstall entry or the MSI's entry).
bool probe_existing_install(existing_install_probe* probe);

// The MSI product code for the removal: this program's "MsiProductCode" when set, else the
// name of the MSI's uninstall entry. 0, or -1 with out emptied.
int find_msi_product_code(char* out, size_t size);

// True when "Software\CorvaneLabs\Corvane" under root (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER),
// in either view, holds a subkey or a value not named in identity.
bool product_key_has_data(HKEY root, const name_list& identity);
