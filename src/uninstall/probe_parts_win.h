// The single questions the existing-install probe asks, each answered yes or no without
// changing anything; a key, folder or service that cannot be read counts as absent.
#pragma once

#include <cstddef>

// The MSI package's uninstall entry, in the 64-bit view then the 32-bit one: 0 with the
// key name (the product code) and its REG_SZ "DisplayVersion" (else empty), or -1.
int find_msi_entry(char* code, size_t code_size, char* version, size_t version_size);

// "<uninstall root>\<product code>": the MSI entry's key; 0, or -1 when it does not fit.
int msi_entry_key_path(const char* product_code, char* out, size_t size);

bool probe_own_uninstall_entry();
bool probe_app_executable();
bool probe_appdata_folders();
bool probe_run_value();
bool probe_app_paths_key();
bool probe_services();
bool probe_scheduled_tasks();
bool probe_desktop_shortcuts();
