#include <windows.h>
#include <shlobj.h>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/own_image_win.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "base/wide_win.h"
#include "install/registration.h"
#include "product/product.h"

namespace {

// Reads ProductVersion of the product key from one registry view; a version too long for out
// counts as none.
void read_client_version(REGSAM view, char* out, size_t size) {
  if (reg_read_text(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, view, "ProductVersion", out, size) != ERROR_SUCCESS)
    out[0] = '\0';
}

void choose_display_version(const msi_entry_facts* msi, char* out, size_t size) {
  char client[64];
  read_client_version(KEY_WOW64_64KEY, client, sizeof client);
  if (!client[0]) read_client_version(KEY_WOW64_32KEY, client, sizeof client);
  switch (display_version_choose(msi->version, client, INSTALLER_VERSION, out, size)) {
    case DISPLAY_VERSION_FROM_MSI:
      log_info("Using MSI DisplayVersion=%s for our entry", out);
      break;
    case DISPLAY_VERSION_FROM_CLIENT:
      log_info("Using client ProductVersion=%s for DisplayVersion", out);
      break;
    case DISPLAY_VERSION_FROM_INSTALLER:
      log_warn("No MSI or client version found — falling back to INSTALLER_VERSION=%s", out);
      break;
  }
}

void write_uninstall_entry(const install_state* state, const msi_entry_facts* msi, const char* version) {
  uninstall_entry entry;
  uninstall_entry_build(state->install_dir, version, msi, VENDOR_HELP_LINK, &entry);
  for (int i = 0; i < entry.count; ++i) {
    const uninstall_value& value = entry.values[i];
    LSTATUS status = value.type == UNINSTALL_VALUE_DWORD
                         ? reg_write_dword(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, REG_VIEW_64, value.name, value.number)
                         : reg_write_text(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, REG_VIEW_64, value.name, value.text);
    if (status != ERROR_SUCCESS) log_warn("Failed to write uninstall entry value %s", value.name);
  }
}

// Returns 0 when the uninstaller is in place. It is copied from the held image of the running
// program, never from its path, which a process of the user could have put another file under.
int copy_uninstaller(const install_state* state) {
  wchar_t folder[MAX_PATH];
  char target[MAX_PATH];
  if (!text_format(target, sizeof target, "%s\\%s", state->install_dir, UNINSTALLER_EXE) ||
      utf8_to_wide(state->install_dir, folder, MAX_PATH) != 0) {
    log_error("Failed to copy uninstaller (err=%lu)", static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    return -1;
  }
  // msiexec normally made the folder; the whole chain is made in case it did not.
  SHCreateDirectoryExW(nullptr, folder, nullptr);
  DWORD error = own_image_copy(target, CREATE_ALWAYS);
  if (error != ERROR_SUCCESS) {
    log_error("Failed to copy uninstaller (err=%lu)", error);
    return -1;
  }
  log_info("Wrote uninstaller");
  return 0;
}

void remove_legacy_uninstaller(const install_state* state) {
  char path[MAX_PATH];
  wchar_t wide[MAX_PATH];
  if (!text_format(path, sizeof path, "%s\\%s", state->install_dir, LEGACY_UNINSTALLER_EXE) ||
      utf8_to_wide(path, wide, MAX_PATH) != 0 || GetFileAttributesW(wide) == INVALID_FILE_ATTRIBUTES)
    return;
  if (DeleteFileW(wide))
    log_info("Removed legacy CorvaneUninstaller.exe");
  else
    log_warn("Failed to remove legacy CorvaneUninstaller.exe (err=%lu)", GetLastError());
}

}  // namespace

void write_app_paths(const install_state* state) {
  reg_key run;
  if (run.open(HKEY_LOCAL_MACHINE, RUN_KEY, REG_VIEW_64, KEY_SET_VALUE) == ERROR_SUCCESS &&
      run.delete_value(RUN_VALUE_NAME) == ERROR_SUCCESS)
    log_info("Swept legacy HKLM Run\\Corvane autostart value");
  char app[MAX_PATH];
  // A cut path would register some other file as the app.
  if (text_format(app, sizeof app, "%s\\%s", state->install_dir, PRODUCT_APP_EXE) &&
      reg_write_text(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, REG_VIEW_64, nullptr, app) == ERROR_SUCCESS &&
      reg_write_text(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, REG_VIEW_64, "Path", state->install_dir) == ERROR_SUCCESS)
    log_info("Wrote App Paths key");
  else
    log_warn("Failed to write App Paths key");
}

void register_installed_product(const install_state* state) {
  if (copy_uninstaller(state) != 0) return;
  remove_legacy_uninstaller(state);
  msi_entry_facts msi = {};
  hide_msi_uninstall_entries(&msi);
  if (msi.hidden_count == 0)
    log_warn("No MSI Corvane uninstall entry found — Add/Remove Programs may not yet have a duplicate row, "
             "but we also have no MSI version to mirror");
  else
    log_info("Hid %d MSI uninstall entry/entries (productCode=%s)", msi.hidden_count,
             msi.product_code[0] ? msi.product_code : "(unknown)");
  char version[64];
  choose_display_version(&msi, version, sizeof version);
  write_uninstall_entry(state, &msi, version);
}
