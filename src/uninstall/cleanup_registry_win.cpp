// Registry removal of the product's Run value, keys and product-key contents.
#include "base/log.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "uninstall/cleanup.h"
#include "uninstall/cleanup_steps_win.h"
#include "uninstall/probe_parts_win.h"
#include "uninstall/removal_rules.h"

namespace {

void log_purged(const char* what, const wchar_t* name) {
  char utf8[REG_NAME_CHARS * 3];
  wide_to_utf8(name, utf8, sizeof utf8);
  log_info("Purged registry %s: %s\\%s", what, PRODUCT_REG_KEY, utf8);
}

void purge_subkeys(const reg_key& key) {
  heap_block<reg_name_batch> subkeys = reg_collect(key, REG_SUBKEY_NAMES, nullptr);
  if (!subkeys) return;
  for (DWORD i = 0; i < subkeys->count; ++i)
    if (RegDeleteTreeW(key.get(), subkeys->names[i]) == ERROR_SUCCESS) log_purged("subkey", subkeys->names[i]);
}

void purge_values(const reg_key& key, const name_list& keep) {
  heap_block<reg_name_batch> values = reg_collect(key, REG_VALUE_NAMES, nullptr);
  if (!values) return;
  for (DWORD i = 0; i < values->count; ++i) {
    char name[REG_NAME_CHARS * 3];
    if (wide_to_utf8(values->names[i], name, sizeof name) != 0 || name_in_list(name, keep)) continue;
    if (RegDeleteValueW(key.get(), values->names[i]) == ERROR_SUCCESS) log_purged("value", values->names[i]);
  }
}

// The MSI's entry normally goes with the package; one left by a failed removal would keep
// Add/Remove Programs offering a product that is gone.
void delete_msi_entry(const char* product_code) {
  char path[512];
  if (msi_entry_key_path(product_code, path, sizeof path) != 0) return;
  for (REGSAM view : REG_VIEWS) {
    if (!reg_key_exists(HKEY_LOCAL_MACHINE, path, view)) continue;
    LSTATUS status = reg_delete_tree(HKEY_LOCAL_MACHINE, path, view);
    if (status == ERROR_SUCCESS)
      log_info("Deleted MSI uninstall key: %s", path);
    else
      log_warn("Failed to delete MSI uninstall key (err=%ld): %s", static_cast<long>(status), path);
  }
}

}  // namespace

void delete_run_value(HKEY root) { reg_delete_value(root, RUN_KEY, REG_VIEW_64, RUN_VALUE_NAME); }

void delete_hklm_key_tree(const char* key_path) { reg_delete_tree(HKEY_LOCAL_MACHINE, key_path, REG_VIEW_64); }

void purge_product_key(HKEY root, const name_list& keep) {
  reg_key key;
  if (key.open(root, PRODUCT_REG_KEY, REG_VIEW_64, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE) !=
      ERROR_SUCCESS)
    return;
  purge_subkeys(key);
  purge_values(key, keep);
}

void clean_product_registry(const char* product_code, int purge_product_key_allowed) {
  delete_run_value(HKEY_LOCAL_MACHINE);
  delete_run_value(HKEY_CURRENT_USER);
  remove_chrome_forcelist_entries();
  delete_hklm_key_tree(OWN_UNINSTALL_KEY);
  if (product_code && product_code[0]) delete_msi_entry(product_code);
  delete_hklm_key_tree(APP_PATHS_KEY);
  if (purge_product_key_allowed) {
    purge_product_key(HKEY_LOCAL_MACHINE, HKLM_IDENTITY_VALUES);
    purge_product_key(HKEY_CURRENT_USER, HKCU_IDENTITY_VALUES);
    log_info("Purged HKLM/HKCU %s (kept identity values)", PRODUCT_REG_KEY);
  } else {
    log_info("Skipping CorvaneLabs registry purge — MSI uninstall did not report success");
  }
  log_info("Cleaned registry");
}
