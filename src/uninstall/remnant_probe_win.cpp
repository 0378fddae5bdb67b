// What is left of the product besides its uninstall entries: files, folders, Run value,
// App Paths, services, scheduled tasks and shortcuts.
#include <windows.h>
#include <shlobj.h>

#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/path_text.h"
#include "base/reg_view_win.h"
#include "base/wide_win.h"
#include "base/wow64_win.h"
#include "product/product.h"
#include "uninstall/probe_parts_win.h"

namespace {

int exists_in(const char* folder, const char* name) {
  char path[MAX_PATH];
  return join_path(folder, name, path, sizeof path) == 0 && path_exists(path);
}

// The first name of the list found in the folder.
bool any_exists_in(const char* folder, const name_list& names) {
  for (size_t i = 0; i < names.count; ++i)
    if (exists_in(folder, names.names[i])) return true;
  return false;
}

// App Paths names the executable; a stale value there settles the question without the
// other view.
bool app_paths_target_exists() {
  for (REGSAM view : REG_VIEWS) {
    char path[MAX_PATH];
    if (!reg_found_text(reg_read_text(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, view, nullptr, path, sizeof path)) || !path[0])
      continue;
    return path_exists(path);
  }
  return false;
}

}  // namespace

bool probe_app_executable() {
  if (app_paths_target_exists()) return true;
  // The native Program Files comes first: a 32-bit process is shown the x86 folder under
  // both shell names, while the product installs into the native one.
  char folder[MAX_PATH], app[MAX_PATH];
  const int csidls[] = {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86};
  for (int i = -1; i < 2; ++i) {
    int resolved = i < 0 ? program_files_dir(folder, sizeof folder) : shell_folder(csidls[i], folder, sizeof folder);
    if (resolved != 0 || join_path(folder, PRODUCT_INSTALL_SUBDIR, app, sizeof app) != 0) continue;
    if (exists_in(app, PRODUCT_APP_EXE)) return true;
  }
  return false;
}

bool probe_appdata_folders() {
  char folder[MAX_PATH];
  return shell_folder(CSIDL_COMMON_APPDATA, folder, sizeof folder) == 0 && any_exists_in(folder, PRODUCT_APPDATA_FOLDERS);
}

bool probe_run_value() {
  wchar_t name[64];
  utf8_to_wide(RUN_VALUE_NAME, name, 64);
  for (REGSAM view : REG_VIEWS) {
    reg_key key;
    if (key.open(HKEY_LOCAL_MACHINE, RUN_KEY, view) != ERROR_SUCCESS) continue;
    if (RegQueryValueExW(key.get(), name, nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS) return true;
  }
  return false;
}

bool probe_app_paths_key() {
  for (REGSAM view : REG_VIEWS)
    if (reg_key_exists(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, view)) return true;
  return false;
}

bool probe_services() {
  service_handle manager(OpenSCManagerW(nullptr, nullptr, SC_MANAGER_CONNECT));
  if (!manager) return false;
  for (size_t i = 0; i < PRODUCT_SERVICES.count; ++i) {
    wchar_t name[64];
    if (utf8_to_wide(PRODUCT_SERVICES.names[i], name, 64) != 0) continue;
    if (service_handle(OpenServiceW(manager.get(), name, SERVICE_QUERY_STATUS))) return true;
  }
  return false;
}

bool probe_scheduled_tasks() {
  wchar_t wide[MAX_PATH];
  UINT length = GetSystemDirectoryW(wide, MAX_PATH);
  if (length < 1 || length > 259) return false;
  char system[MAX_PATH], tasks[MAX_PATH];
  if (wide_to_utf8(wide, system, sizeof system) != 0 || join_path(system, "Tasks", tasks, sizeof tasks) != 0)
    return false;
  // The task store lives in the 64-bit system folder, which a 32-bit process sees only
  // with redirection off.
  fs_redirection_off redirection;
  int found = any_exists_in(tasks, PRODUCT_TASK_FILES);
  return found;
}

bool probe_desktop_shortcuts() {
  const int desktops[] = {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY};
  for (int csidl : desktops) {
    char folder[MAX_PATH];
    if (shell_folder(csidl, folder, sizeof folder) == 0 && any_exists_in(folder, PRODUCT_SHORTCUTS)) return true;
  }
  return false;
}
