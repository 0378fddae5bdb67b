// The decisions of the probe and the removal, kept apart from the Windows calls that act
// on them so each rule can be checked on its own.
#pragma once

#include <cstdint>
#include "base/process_result.h"
#include "product/product.h"

// True when name equals one of the list's names, compared without regard to ASCII case.
bool name_in_list(const char* name, const name_list& list);

// True when an uninstall subkey is the MSI package's entry: any key but this program's own
// "Corvane" entry whose REG_SZ display name is "Corvane" (any case). display_name is null
// when the value is missing or not REG_SZ.
bool is_msi_product_entry(const char* subkey_name, const char* display_name);

// True when text is a Windows Installer product code: a GUID in braces, 38 characters. Only
// such a code is put on msiexec's command line or names a key to delete, so a tampered
// registry value can neither add arguments to an elevated msiexec nor widen the deletion.
bool is_product_code_guid(const char* text);

// True when a force-install list entry names the product's extension (the identifier may be
// followed by an update URL, so it is searched anywhere in the text).
int forcelist_entry_is_product(const char* data);

// True when an install-folder entry is something the uninstall must remove: anything but
// "." and ".." and the uninstaller itself, which stays until the folder is otherwise empty.
bool install_dir_entry_to_remove(const char* name);

// The MSI step as the guards see it.
struct msi_removal {
  int result;     // 0 on success, msiexec's exit code, or -1 when it did not run to its end
  int succeeded;  // the event is sent and nothing is held back
};
// No product code counts as a removal that succeeded; exit codes 0 and 3010 succeed.
msi_removal msi_removal_of(bool code_found, const process_result& run);

// What the cleanup may purge after the MSI step. The data folders hold the product's
// runtime cache, needed to retry a removal that left the package registered; the product
// key is kept after any failed removal so a retry finds the same identity and settings.
struct cleanup_guards {
  int purge_appdata;
  int purge_product_key;
};
cleanup_guards cleanup_guards_for(msi_removal msi, int product_registered);
