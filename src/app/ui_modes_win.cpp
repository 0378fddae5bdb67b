#include "app/ui_modes.h"

#include <windows.h>

#include "acquire/embedded_resources.h"
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/ui_post.h"
#include "base/wide_win.h"
#include "install/install_ui_worker.h"
#include "telemetry/tracking.h"
#include "ui/installer_commands.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "ui/webview_loader.h"
#include "uninstall/uninstall_ui.h"

namespace {

void open_ui_log(const char* stem, const char* component) {
  char path[MAX_PATH];
  log_dated_path(stem, path, sizeof path);
  log_open(LOG_UI, path, component);
}

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

// The screen's window, configured as the progress screens are: fixed default size, close
// guard on until the page lifts it, no close question.
void run_progress_window(const char* folder, const char* page, const char* title, ui_message_fn on_message) {
  char ui_folder[MAX_PATH];
  if (join_path(folder, "ui", ui_folder, sizeof ui_folder) != 0) ui_folder[0] = '\0';
  ui_host_config config = {};
  config.ui_folder = ui_folder[0] ? ui_folder : nullptr;
  config.page = page;
  config.title = title;
  config.close_disabled = 1;
  config.on_message = on_message;
  ui_host_run(&config);
}

}  // namespace

int run_install_ui(install_state* state) {
  log_info("Mode: UI (WebView2)");
  open_ui_log("Corvane.InstallerUI", "InstallerUI");
  char folder[MAX_PATH] = "";
  if (extract_embedded_resources(folder, sizeof folder) != 0) {
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
  ui_install_flags_reset(state);
  state->progress_fn = ui_progress_callback;
  state->progress_ctx = nullptr;
  ui_install_flags.worker_thread = CreateThread(nullptr, 0, ui_install_worker, state, 0, nullptr);
  int code = 0;
  if (ui_install_flags.worker_thread) {
    run_progress_window(folder, nullptr, "CorVane Setup", ui_on_message_installer);
  } else {
    log_error("Install worker could not start (err=%lu)", GetLastError());  // a page that could never begin
    code = 1;
  }
  ui_install_finish(state);
  log_close(LOG_UI);
  ui_cleanup_temp(folder);
  return code;
}

int run_uninstall_ui(install_state* state) {
  log_info("Mode: UI (WebView2) — welcome already shown");
  open_ui_log("Corvane.UninstallerUI", "UninstallerUI");
  char folder[MAX_PATH] = "";
  if (extract_embedded_resources(folder, sizeof folder) != 0) {
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
  if (uninstall_ui_start(state) != 0) {
    log_error("Uninstall worker could not start (err=%lu)", GetLastError());
    log_close(LOG_UI);
    ui_cleanup_temp(folder);
    return -1;
  }
  run_progress_window(folder, "uninstall.html", "CorVane Uninstaller", ui_on_message_uninstaller);
  uninstall_ui_end(state);
  log_close(LOG_UI);
  ui_cleanup_temp(folder);
  return 0;
}
