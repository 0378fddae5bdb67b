// The browser policy that force-installs the product's extension: only the product's own
// entries go, and the policy keys only when nothing else is left in them.
#include "base/log.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "uninstall/cleanup.h"
#include "uninstall/removal_rules.h"

namespace {

void delete_product_entries(HKEY key) {
  heap_block<reg_name_batch> entries = reg_collect(key, REG_VALUE_NAMES, forcelist_entry_is_product);
  if (!entries) return;
  for (DWORD i = 0; i < entries->count; ++i) {
    if (RegDeleteValueW(key, entries->names[i]) != ERROR_SUCCESS) continue;
    char name[REG_NAME_CHARS * 3];
    wide_to_utf8(entries->names[i], name, sizeof name);
    log_info("Removed Chrome force-install entry %s\\%s", CHROME_FORCELIST_KEY, name);
  }
}

bool key_is_empty(HKEY key) {
  DWORD subkeys = 1, values = 1;
  return reg_count_children(key, &subkeys, &values) == 0 && subkeys == 0 && values == 0;
}

int delete_key_64(const char* key_path) {
  wchar_t wide[MAX_PATH];
  return utf8_to_wide(key_path, wide, MAX_PATH) == 0 &&
         RegDeleteKeyExW(HKEY_LOCAL_MACHINE, wide, KEY_WOW64_64KEY, 0) == ERROR_SUCCESS;
}

}  // namespace

bool remove_empty_policy_key(const char* key_path) {
  int empty = 0;
  {
    registry_key key;
    LSTATUS status = reg_open(HKEY_LOCAL_MACHINE, key_path, KEY_READ, KEY_WOW64_64KEY, &key);
    if (status == ERROR_FILE_NOT_FOUND) return true;
    if (status != ERROR_SUCCESS) return false;
    empty = key_is_empty(key.get());
  }
  if (!empty || !delete_key_64(key_path)) return false;
  log_info("Removed empty policy key %s", key_path);
  return true;
}

void remove_chrome_forcelist_entries() {
  int empty = 0;
  {
    registry_key key;
    if (reg_open(HKEY_LOCAL_MACHINE, CHROME_FORCELIST_KEY, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY,
                 KEY_WOW64_64KEY, &key) != ERROR_SUCCESS)
      return;
    delete_product_entries(key.get());
    empty = key_is_empty(key.get());
  }
  if (!empty || !delete_key_64(CHROME_FORCELIST_KEY)) return;
  log_info("Removed empty Chrome force-install policy key");
  if (remove_empty_policy_key(CHROME_POLICY_KEY)) remove_empty_policy_key(GOOGLE_POLICY_KEY);
}
