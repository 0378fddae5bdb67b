// What of the product is already on the machine. Reads the registry (both views), the
// file system and the service manager; never changes anything.
#pragma once

#include <windows.h>

#include <cstddef>

#include "product/product.h"
#include "state/install_state.h"

// Zeroes and fills the probe; 1 when the product is installed (this program's own
// uninstall entry or the MSI's entry), else 0.
int probe_existing_install(existing_install_probe* probe);

// The MSI product code for the removal: this program's "MsiProductCode" when set, else the
// name of the MSI's uninstall entry. 0, or -1 with out emptied.
int find_msi_product_code(char* out, size_t size);

// 1 when "Software\CorvaneLabs\Corvane" under root (HKEY_LOCAL_MACHINE or HKEY_CURRENT_USER),
// in either view, holds a subkey or a value not named in identity.
int product_key_has_data(HKEY root, const name_list& identity);

// REG_SZ or REG_EXPAND_SZ (unexpanded) of HKLM\key_path in the 64-bit view; a null name
// reads the default value. 0, or -1 with out emptied.
int read_hklm_string(const char* key_path, const char* value_name, char* out, size_t size);
