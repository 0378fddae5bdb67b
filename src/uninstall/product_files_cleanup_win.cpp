// The product's data folders and desktop shortcuts.
#include <windows.h>
#include <shlobj.h>

#include "base/delete_tree.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/path_text.h"
#include "product/product.h"
#include "uninstall/cleanup_steps_win.h"

namespace {

void wipe_appdata_folder(const char* appdata, const char* name) {
  char path[MAX_PATH];
  if (join_path(appdata, name, path, sizeof path) != 0) return;
  if (!path_exists(path)) {
    log_info("%%ProgramData%% subdir already absent: %s", path);
    return;
  }
  log_info("Wiping %%ProgramData%% subdir: %s", path);
  delete_tree(path);
  if (path_exists(path))
    log_warn("Some files remain under %%ProgramData%% subdir (likely locked by another process): %s", path);
  else
    log_info("Removed %%ProgramData%% subdir: %s", path);
}

}  // namespace

void purge_appdata_folders(const cleanup_guards& guards, const msi_removal& msi, int product_registered,
                           const char* product_code) {
  if (!guards.purge_appdata) {
    log_info("Skipping %%ProgramData%% purge — MSI still registered (%s); preserving runtime cache for retry",
             product_code);
    return;
  }
  log_info("Purging %%ProgramData%% subdirs (msi_succeeded=%d, product_registered=%d)", msi.succeeded,
           product_registered);
  char appdata[MAX_PATH];
  if (shell_folder(CSIDL_COMMON_APPDATA, appdata, sizeof appdata) != 0) {
    log_warn("Could not resolve %%ProgramData%% — skipping post-uninstall cleanup");
    return;
  }
  for (size_t i = 0; i < PRODUCT_APPDATA_FOLDERS.count; ++i) wipe_appdata_folder(appdata, PRODUCT_APPDATA_FOLDERS.names[i]);
}

void delete_desktop_shortcuts() {
  const int desktops[] = {CSIDL_COMMON_DESKTOPDIRECTORY, CSIDL_DESKTOPDIRECTORY};
  for (int csidl : desktops) {
    char folder[MAX_PATH];
    if (shell_folder(csidl, folder, sizeof folder) != 0) continue;
    for (size_t i = 0; i < PRODUCT_SHORTCUTS.count; ++i) {
      // The user's desktop is the user's to fill: a link planted under the name is removed
      // itself, never followed.
      char path[MAX_PATH];
      if (join_path(folder, PRODUCT_SHORTCUTS.names[i], path, sizeof path) != 0) continue;
      if (delete_file_no_follow(path)) log_info("Deleted desktop shortcut: %s", path);
    }
  }
}
