// After msiexec succeeded: make the product one application to Windows. Called in this
// order by the install sequence; none of them fails the install, each logs what went wrong.
#pragma once

#include "install/registration_values.h"
#include "state/install_state.h"

// Removes the legacy HKLM Run autostart value and writes the App Paths key of Corvane.exe.
void write_app_paths(const install_state* state);

// Copies the running program into install_dir as CorvaneUninstall.exe, removes the legacy
// uninstaller, hides the package's own Add/Remove Programs rows and writes ours. Without
// the copy nothing is registered, so no entry ever points at a missing uninstaller.
void register_installed_product(const install_state* state);

// Asks the service manager to start Corvane.Service without waiting for it.
void start_product_service();

// Sets SystemComponent=1 on every package entry named "Corvane" in both registry views
// (never on our own "Corvane" key) and returns the first entry's version, product code
// and size. Part of register_installed_product; callable alone for tests.
void hide_msi_uninstall_entries(msi_entry_facts* facts);
