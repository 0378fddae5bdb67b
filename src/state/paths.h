// Where the running executable lies, against the product's install folder
// (product_install_dir of product/product_places_win.h).
#pragma once

// True when the running executable lies in (or below) the product's install folder.
bool running_from_install_dir();
