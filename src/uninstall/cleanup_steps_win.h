// The steps of the MSI removal's cleanup, in the order uninstall_msi_and_clean runs them.
#pragma once

#include "uninstall/msi_uninstall.h"
#include "uninstall/removal_rules.h"

// The product's folders under the common application data folder, unless the guard holds
// them back for a retry of the removal.
void purge_appdata_folders(const cleanup_guards& guards, const msi_removal& msi, int product_registered,
                           const char* product_code);
// Every task of the product, old names included.
void delete_product_tasks();
// Run values, policy entry, uninstall entries (this program's and the MSI's, product_code
// may be null), App Paths, and the product key when the guard allows it.
void clean_product_registry(const char* product_code, int purge_product_key_allowed);
// "CorVane.lnk" and "Corvane.lnk" on the common and the user's desktop.
void delete_desktop_shortcuts();
// Empties install_dir of everything but the uninstaller, then removes both when nothing
// else is left, and the parent folder when it is empty; UNINSTALL_COMPLETE or
// UNINSTALL_FILES_REMAIN. An empty install_dir does nothing.
uninstall_result clean_install_dir(const char* install_dir);
