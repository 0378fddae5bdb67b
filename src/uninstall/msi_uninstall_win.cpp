#include "uninstall/msi_uninstall.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/hidden_process_win.h"
#include "base/log.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "telemetry/tracking.h"
#include "uninstall/cleanup_steps_win.h"
#include "uninstall/existing_install.h"
#include "uninstall/probe_parts_win.h"

namespace {

msi_removal run_msiexec_uninstall(const char* product_code) {
  char command[256];  // room for the longest product code find_msi_product_code gives (127)
  text_format(command, sizeof command, "msiexec.exe /x %s /qn /norestart", product_code);
  log_info("%s", command);
  process_result run = run_hidden(command, INFINITE);
  msi_removal msi = msi_removal_of(true, run);
  if (!run.ended())
    log_error("Failed to start msiexec for uninstall (err=%lu)", run.windows_error);
  else
    log_write(LOG_MAIN, msi.succeeded ? LOG_LEVEL_INFO : LOG_LEVEL_WARN, "msiexec uninstall exit code: %lu",
              run.exit_code);
  return msi;
}

msi_removal remove_msi_package(install_state* state, const char* product_code) {
  msi_removal msi;
  if (!product_code) {
    log_warn("MSI product code not found — skipping MSI uninstall");
    msi = msi_removal_of(false, process_result{});
  } else {
    msi = run_msiexec_uninstall(product_code);
  }
  if (msi.succeeded)
    tracking_send(state, "corvane.uninstaller.uninstall", "MSI uninstall succeeded");
  else
    log_warn("MSI uninstall returned %d — continuing cleanup", msi.result);
  return msi;
}

// Whether the package is still known to Windows after msiexec, in either view.
int msi_entry_registered(const char* product_code) {
  char path[512];
  if (msi_entry_key_path(product_code, path, sizeof path) != 0) return 0;
  for (REGSAM view : REG_VIEWS)
    if (reg_key_exists(HKEY_LOCAL_MACHINE, path, view)) return 1;
  return 0;
}

// The install folder cannot be removed while it is this process's current directory.
void leave_install_dir() {
  char temp[MAX_PATH + 1];
  wchar_t wide[MAX_PATH + 1];
  if (temp_folder(temp, sizeof temp) == 0 && utf8_to_wide(temp, wide, MAX_PATH + 1) == 0) SetCurrentDirectoryW(wide);
}

}  // namespace

uninstall_result uninstall_msi_and_clean(install_state* state) {
  log_info("Phase 2: Uninstalling MSI and cleaning up");
  char product_code[128];
  const char* code = find_msi_product_code(product_code, sizeof product_code) == 0 ? product_code : nullptr;
  msi_removal msi = remove_msi_package(state, code);
  int registered = msi_entry_registered(code);
  cleanup_guards guards = cleanup_guards_for(msi, registered);
  purge_appdata_folders(guards, msi, registered, code ? code : "");
  delete_product_tasks();
  clean_product_registry(code, guards.purge_product_key);
  delete_desktop_shortcuts();
  leave_install_dir();
  uninstall_result result = clean_install_dir(state->install_dir);
  log_info("Uninstall complete");
  return result;
}
