// The host's working folders in the run's private folder: one WebView2 user-data folder per
// window of this process, and their removal with the extraction folder once the UI has closed.
#include <atomic>

#include "base/bounded_text.h"
#include "base/delete_tree.h"
#include "base/folders_win.h"
#include "base/private_folder_win.h"
#include "base/path_text.h"
#include "base/wide_win.h"
#include "ui/ui_host_window_win.h"

namespace {

std::atomic<long> g_user_data_folders{0};

int user_data_folder(long number, char* out, size_t size) {
  char folder[MAX_PATH + 1];
  if (private_folder(folder, sizeof folder) != 0) return -1;
  if (text_format(out, size, "%sCorvaneInstaller.WebView2-%lu-%ld", folder, GetCurrentProcessId(), number)) return 0;
  out[0] = '\0';
  return -1;
}

// The loader library stays loaded until the process ends (the runtime may still hold code of
// it), so its file and folder cannot go now: they are left to the next restart instead of
// lying in the temp folder for good.
void remove_at_restart(const char* extraction_folder) {
  char loader[MAX_PATH];
  wchar_t wide_loader[MAX_PATH], wide_folder[MAX_PATH];
  if (!path_exists(extraction_folder) || join_path(extraction_folder, "WebView2Loader.dll", loader, sizeof loader) != 0 ||
      utf8_to_wide(loader, wide_loader, MAX_PATH) != 0 || utf8_to_wide(extraction_folder, wide_folder, MAX_PATH) != 0)
    return;
  if (path_exists(loader)) MoveFileExW(wide_loader, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  MoveFileExW(wide_folder, nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
}

}  // namespace

int ui_next_user_data_folder(char* out, size_t size) { return user_data_folder(++g_user_data_folders, out, size); }

void ui_cleanup_temp(const char* extraction_folder) {
  if (!extraction_folder || !*extraction_folder) return;
  delete_tree_force(extraction_folder);
  remove_at_restart(extraction_folder);
  char base[MAX_PATH + 1], folder[MAX_PATH];
  if (private_folder(base, sizeof base) == 0 &&
      text_format(folder, sizeof folder, "%sCorvaneInstaller.WebView2-%lu", base, GetCurrentProcessId()))
    delete_tree_force(folder);
  // The per-window folders carry the window number after the process id.
  for (long number = 1; number <= g_user_data_folders.load(); number++)
    if (user_data_folder(number, folder, sizeof folder) == 0) delete_tree_force(folder);
}
