#include "app/ui_modes.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "telemetry/tracking.h"
#include "ui/installer_commands.h"
#include "ui/progress_screens.h"
#include "ui/ui_host.h"
#include "ui/webview_loader.h"
#include "uninstall/uninstall_ui.h"

namespace {

int abort_without_webview(install_state* state) {
  log_warn("WebView2 unavailable after elevation — aborting install (no silent fallback by policy)");
  MessageBoxA(nullptr,
              "Corvane Setup could not start because Microsoft Edge WebView2 Runtime is missing or disabled on this "
              "PC. Please install the latest Windows updates and try again.",
              "Corvane", MB_ICONERROR | MB_TOPMOST);
  tracking_send_installer_close(state, "WebView2 unavailable", "not_reached", "pre_install", nullptr);
  return 1;
}

void report_extraction_failure(const char* folder, DWORD error) {
  char text[1024];
  text_format(text, sizeof text,
              "Corvane Setup couldn't extract its UI bundle to '%s' (GLE=%lu). The %%TEMP%% folder may be read-only or "
              "quarantined by EDR / antivirus.",
              folder[0] ? folder : "<unknown>", error);
  log_error("%s", text);
  wchar_t wide[1024];
  utf8_to_wide(text, wide, 1024);
  MessageBoxW(nullptr, wide, L"CorVane Setup", MB_ICONERROR | MB_TOPMOST);
}

}  // namespace

int run_install_ui(install_state* state) {
  log_info("Mode: UI (WebView2)");
  ui_open_log("Corvane.InstallerUI", "InstallerUI");
  char folder[MAX_PATH] = "";
  if (ui_extract_resources(folder, sizeof folder) != 0) {
    report_extraction_failure(folder, GetLastError());
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return abort_without_webview(state);
  }
  webview_loader_set_folder(folder);
  if (!webview_available()) {
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return abort_without_webview(state);
  }
  int code = 0;
  if (ui_install_screen_start(state) == 0)
    ui_host_run(ui_progress_screen_config());
  else
    code = 1;
  ui_install_finish(state);
  log_close(LOG_UI);
  ui_cleanup_temp(folder);
  return code;
}

int run_uninstall_ui(install_state* state) {
  log_info("Mode: UI (WebView2) — welcome already shown");
  ui_open_log("Corvane.UninstallerUI", "UninstallerUI");
  char folder[MAX_PATH] = "";
  if (ui_extract_resources(folder, sizeof folder) != 0) {
    log_error("Failed to extract embedded resources");
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return -1;
  }
  webview_loader_set_folder(folder);
  if (!webview_available()) {
    log_warn("WebView2 not available for uninstaller UI");
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return -1;
  }
  if (ui_uninstall_screen_start(state) != 0) {
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return -1;
  }
  ui_host_run(ui_progress_screen_config());
  uninstall_ui_end(state);
  log_close(LOG_UI);
  ui_cleanup_temp(folder);
  return 0;
}
