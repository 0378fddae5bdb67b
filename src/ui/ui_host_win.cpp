// STAND-IN until the embedded resources and the WebView2 host exist: the extraction folder
// is created (empty), WebView2 is reported missing, so the installer takes its abort path
// and the uninstaller falls back to silent.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/private_folder_win.h"
#include "base/wide_win.h"
#include "ui/ui_host.h"

int ui_extract_resources(char* folder_out, size_t size) {
  char temp[MAX_PATH + 1];
  if (private_folder(temp, sizeof temp) != 0) return -1;
  text_format(folder_out, size, "%sCorvaneUI-%lu", temp, GetCurrentProcessId());
  log_info("UI resources folder: %s", folder_out);
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(folder_out, wide, MAX_PATH) != 0) return -1;
  if (!CreateDirectoryW(wide, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return -1;
  return 0;
}

int webview_available() {
  log_write(LOG_UI, LOG_LEVEL_WARN, "WebView2 host not in this build");
  return 0;
}

void ui_delete_extraction_folder(const char* folder) {
  wchar_t wide[MAX_PATH];
  if (!folder || !*folder || utf8_to_wide(folder, wide, MAX_PATH) != 0) return;
  RemoveDirectoryW(wide);
}
