#include "uninstall/existing_install.h"

#include <cstring>

#include "base/reg_view_win.h"
#include "product/product.h"
#include "uninstall/probe_parts_win.h"
#include "uninstall/removal_rules.h"

namespace {

constexpr size_t NAME_BYTES = 1024;  // 256 UTF-16 characters in UTF-8

// 1 when the open product key holds a subkey or a value that is not an identity value.
int key_has_data(HKEY key, const name_list& identity) {
  DWORD subkeys = 0, values = 0;
  if (reg_count_children(key, &subkeys, &values) != 0) return 0;
  if (subkeys > 0) return 1;
  char name[NAME_BYTES];
  for (DWORD index = 0;; ++index) {
    LSTATUS status = reg_name_at(key, index, REG_VALUE_NAMES, name, sizeof name);
    if (status == ERROR_MORE_DATA) return 1;  // too long to be an identity value
    if (status != ERROR_SUCCESS) return 0;
    if (!name_in_list(name, identity)) return 1;
  }
}

}  // namespace

int product_key_has_data(HKEY root, const name_list& identity) {
  for (REGSAM view : REG_VIEWS) {
    registry_key key;
    if (reg_open(root, PRODUCT_REG_KEY, KEY_READ, view, &key) != ERROR_SUCCESS) continue;
    if (key_has_data(key.get(), identity)) return 1;
  }
  return 0;
}

int read_hklm_string(const char* key_path, const char* value_name, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  registry_key key;
  if (reg_open(HKEY_LOCAL_MACHINE, key_path, KEY_READ, KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return -1;
  return reg_get_text(key.get(), value_name, 1, out, size);
}

int probe_own_uninstall_entry() {
  for (REGSAM view : REG_VIEWS) {
    registry_key key;
    if (reg_open(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, KEY_READ, view, &key) != ERROR_SUCCESS) continue;
    char command[MAX_PATH];
    if (reg_get_text(key.get(), "UninstallString", 0, command, sizeof command) == 0 && command[0]) return 1;
  }
  return 0;
}

int probe_existing_install(existing_install_probe* probe) {
  memset(probe, 0, sizeof *probe);
  probe->has_c = probe_own_uninstall_entry();
  probe->has_msi = find_msi_entry(probe->product_code, sizeof probe->product_code, probe->existing_version,
                                  sizeof probe->existing_version) == 0;
  probe->hive = product_key_has_data(HKEY_LOCAL_MACHINE, HKLM_IDENTITY_VALUES) ||
                product_key_has_data(HKEY_CURRENT_USER, HKCU_IDENTITY_VALUES);
  probe->dir = probe_app_executable();
  probe->pdata = probe_appdata_folders();
  probe->run = probe_run_value();
  probe->apppaths = probe_app_paths_key();
  probe->svc = probe_services();
  probe->task = probe_scheduled_tasks();
  probe->shortcut = probe_desktop_shortcuts();
  probe->any = probe->has_c || probe->has_msi || probe->hive || probe->dir || probe->pdata || probe->run ||
               probe->apppaths || probe->svc || probe->task || probe->shortcut;
  return existing_install_found(*probe);
}
