// The package is verified before it runs: its Authenticode signature (Windows checks the whole
// chain to a trusted root and the content hash) and its signer's key against the build's pins
// (publisher_pin.h). The file checked is the file run: the caller holds the handle opened for
// the check, with read-only sharing, until msiexec has exited, so nobody can replace or change
// the file in between.
#pragma once

#include <cstddef>

#include "base/handle_win.h"

constexpr size_t PACKAGE_TRUST_REASON = 256;

// Opens msi_path (UTF-8) for reading, sharing read only, and verifies it. 0 with the open
// handle in *held; -1 with *held closed and the reason the package is not trusted.
int package_trust_open(const char* msi_path, kernel_handle* held, char* reason, size_t reason_size);
