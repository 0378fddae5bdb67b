// Which product and version a verified MSI is, read with the Windows Installer's own API
// (msi.dll, delay-loaded from the system folder) and judged by package_identity.h.
#pragma once

#include <cstddef>

constexpr size_t PACKAGE_IDENTITY_REASON = 256;

// Reads the UpgradeCode and ProductVersion of msi_path (UTF-8), read-only: the caller keeps
// the file held with read-only sharing from the signature check on. 0 when it is this product
// (PRODUCT_UPGRADE_CODE) at or above MIN_PACKAGE_VERSION; -1 with the reason otherwise.
int package_identity_check(const char* msi_path, char* reason, size_t reason_size);
