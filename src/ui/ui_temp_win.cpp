// The host's working folders: the browser's user-data folder (outside the private folder: the
// browser runs as the interactive user) and the extraction folder with the loader, made before
// a screen and removed once the UI has closed; and the screen's start, which asks for the
// browser as soon as the loader is there.
#include <atomic>

#include "acquire/embedded_resources.h"
#include "base/bounded_text.h"
#include "base/browser_folders_win.h"
#include "base/delete_tree.h"
#include "base/log.h"
#include "install/session_user.h"
#include "ui/page_bundle_win.h"
#include "ui/ui_host.h"
#include "ui/ui_host_window_win.h"
#include "ui/webview_loader.h"

namespace {

std::atomic<long> g_user_data_folders{0};

}  // namespace

ui_screen_start ui_screen_prepare(char* folder_out, size_t size) {
  char user[SECURITY_MAX_SID_SIZE * 4];
  if (size) folder_out[0] = '\0';
  if (interactive_user_sid(user, sizeof user) != 0 || browser_folders_make(user) != 0) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return ui_screen_start::no_folders;
  }
  page_bundle_open();  // a missing bundle is the screen's to report (ui_screen_pages_ready)
  if (extract_embedded_loader(folder_out, size) != 0) return ui_screen_start::no_folders;
  webview_loader_set_folder(folder_out);
  if (!webview_available()) return ui_screen_start::no_webview;
  ui_host_begin_environment();
  log_write(LOG_UI, LOG_LEVEL_INFO, "Screen start: environment requested");
  return ui_screen_start::started;
}

int ui_screen_pages_ready() { return page_bundle_open(); }

// One user-data folder per window of this process, in the browser's data folder.
int ui_next_user_data_folder(char* out, size_t size) {
  char data[MAX_PATH];
  if (browser_data_folder(data, sizeof data) == 0 &&
      text_format(out, size, "%s\\WebView2-%ld", data, ++g_user_data_folders))
    return 0;
  if (size) out[0] = '\0';
  return -1;
}

void ui_cleanup_temp(const char* extraction_folder) {
  ui_host_drop_environment();
  page_bundle_close();
  browser_folders_remove();
  if (!extraction_folder || !*extraction_folder) return;
  // The loader library stays loaded until the process ends, so its file and folder are left
  // to the restart with the rest of the private folder they are in.
  delete_tree_force(extraction_folder);
}
