#include "uninstall/existing_install.h"

#include <cstring>

#include "base/reg_view_win.h"
#include "product/product.h"
#include "uninstall/probe_parts_win.h"
#include "uninstall/removal_rules.h"

namespace {

constexpr size_t NAME_BYTES = 1024;  // 256 UTF-16 characters in UTF-8

// True when the open product key holds a subkey or a value that is not an identity value.
bool key_has_data(const reg_key& key, const name_list& identity) {
  DWORD subkeys = 0, values = 0;
  if (key.count_children(&subkeys, &values) != ERROR_SUCCESS) return false;
  if (subkeys > 0) return true;
  char name[NAME_BYTES];
  for (DWORD index = 0;; ++index) {
    LSTATUS status = key.name_at(index, REG_VALUE_NAMES, name, sizeof name);
    if (status == ERROR_MORE_DATA) return true;  // too long to be an identity value
    if (status != ERROR_SUCCESS) return false;
    if (!name_in_list(name, identity)) return true;
  }
}

}  // namespace

bool product_key_has_data(HKEY root, const name_list& identity) {
  for (REGSAM view : REG_VIEWS) {
    reg_key key;
    if (key.open(root, PRODUCT_REG_KEY, view) == ERROR_SUCCESS && key_has_data(key, identity)) return true;
  }
  return false;
}

bool probe_own_uninstall_entry() {
  for (REGSAM view : REG_VIEWS) {
    char value[MAX_PATH];
    LSTATUS read = reg_read_text(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, view, "UninstallString", value, sizeof value);
    if (reg_found_text(read) && value[0]) return true;
  }
  return false;
}

bool probe_existing_install(existing_install_probe* probe) {
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
