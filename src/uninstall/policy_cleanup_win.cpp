// The browser policy that force-installs the product's extension: only the product's own
// entries go, and the policy keys only when nothing else is left in them.
#include "base/log.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "uninstall/cleanup.h"
#include "uninstall/removal_rules.h"

namespace {

void delete_product_entries(const reg_key& key) {
  heap_block<reg_name_batch> entries = reg_collect(key, REG_VALUE_NAMES, forcelist_entry_is_product);
  if (!entries) return;
  for (DWORD i = 0; i < entries->count; ++i) {
    if (RegDeleteValueW(key.get(), entries->names[i]) != ERROR_SUCCESS) continue;
    char name[REG_NAME_CHARS * 3];
    wide_to_utf8(entries->names[i], name, sizeof name);
    log_info("Removed Chrome force-install entry %s\\%s", CHROME_FORCELIST_KEY, name);
  }
}

bool key_is_empty(const reg_key& key) {
  DWORD subkeys = 1, values = 1;
  return key.count_children(&subkeys, &values) == ERROR_SUCCESS && subkeys == 0 && values == 0;
}

}  // namespace

bool remove_empty_policy_key(const char* key_path) {
  int empty = 0;
  {
    reg_key key;
    LSTATUS status = key.open(HKEY_LOCAL_MACHINE, key_path, REG_VIEW_64);
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    empty = key_is_empty(key);
  }
  if (!empty || reg_delete_key(HKEY_LOCAL_MACHINE, key_path, REG_VIEW_64) != ERROR_SUCCESS) return false;
  log_info("Removed empty policy key %s", key_path);
  return true;
}

void remove_chrome_forcelist_entries() {
  int empty = 0;
  {
    reg_key key;
    if (key.open(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, REG_VIEW_64,
                 KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY) != ERROR_SUCCESS)
      return;
    delete_product_entries(key);
    empty = key_is_empty(key);
  }
  if (!empty || reg_delete_key(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, REG_VIEW_64) != ERROR_SUCCESS) return;
  log_info("Removed empty Chrome force-install policy key");
  if (remove_empty_policy_key(CHROME_POLICY_KEY)) remove_empty_policy_key(GOOGLE_POLICY_KEY);
}
