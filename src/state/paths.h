// The product's install folder on this machine, as UTF-8.
#pragma once

#include <cstddef>

// "<native Program Files>\Corvane Labs\Corvane"; 0, or -1 with out emptied.
int product_install_dir(char* out, size_t size);
// 1 when the running executable lies in (or below) the product's install folder.
int running_from_install_dir();
