// Where the product lives on a machine: its install folder and its registry key.
#pragma once

#include <cstddef>

// "<native Program Files>\Corvane Labs\Corvane", the product's install folder.
int product_install_dir(char* out, size_t size);
// Writes text to the HKLM product key (64-bit view) only when text is non-empty and the value
// there is missing or empty: identifiers issued once per machine are never replaced.
void reg_write_once_hklm(const char* name, const char* text);
