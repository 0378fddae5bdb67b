#include "ui/progress_screens.h"

#include <windows.h>

#include "base/log.h"
#include "product/ui_post.h"
#include "install/install_ui_worker.h"
#include "state/onboarding_values.h"
#include "ui/host_window_win.h"
#include "ui/ui_bridge.h"
#include "uninstall/uninstall_ui.h"

namespace {

constexpr DWORD INPROC_WORKER_WAIT_MS = 5000;

ui_host_config g_config;

// Fixed default size, close guard on until the page lifts it, no close question.
void configure(const char* page, const char* title, ui_message_fn on_message) {
  g_config = {};
  g_config.page = page;
  g_config.title = title;
  g_config.close_disabled = 1;
  g_config.on_message = on_message;
}

// A continuation that did not start: the worker is told to stop before it began.
void stop_worker(volatile LONG* cancelled, kernel_handle* worker) {
  InterlockedExchange(cancelled, 1);
  if (*worker) WaitForSingleObject(worker->get(), INPROC_WORKER_WAIT_MS);
  worker->reset();
}

}  // namespace

void ui_open_log(const char* stem, const char* component) {
  char path[MAX_PATH];
  log_dated_path(stem, path, sizeof path);
  log_open(LOG_UI, path, component);
}

int ui_install_screen_start(install_state* state, void (*settle)(install_state*)) {
  ui_install_flags_reset(state);
  if (settle) ui_install_settle_on_worker(settle);
  ui_install_flags.worker_thread.reset(CreateThread(nullptr, 0, ui_install_worker, state, 0, nullptr));
  if (!ui_install_flags.worker_thread) {
    log_error("Install worker could not start (err=%lu)", GetLastError());  // a page that could never begin
    ui_install_settle_now(state);
    return -1;
  }
  configure(nullptr, "CorVane Setup", ui_on_message_installer);
  g_config.on_shown = ui_install_let_settle;
  return 0;
}

int ui_uninstall_screen_start(install_state* state) {
  if (uninstall_ui_start(state) != 0) {
    log_error("Uninstall worker could not start (err=%lu)", GetLastError());
    return -1;
  }
  configure("uninstall.html", "CorVane Uninstaller", ui_on_message_uninstaller);
  return 0;
}

const ui_host_config* ui_progress_screen_config() { return &g_config; }

int ui_install_run_inproc(install_state* state, const char* extraction_folder) {
  if (!state || !extraction_folder || !extraction_folder[0] || !ui_host_window()) return -1;
  record_install_started();
  ui_open_log("Corvane.InstallerUI", "InstallerUI");
  if (ui_install_screen_start(state, nullptr) != 0) return -1;
  if (webview_continue(&g_config) == 0) return 0;
  log_error("ui_install_run_inproc: webview_continue failed");
  stop_worker(&ui_install_flags.cancelled, &ui_install_flags.worker_thread);
  ui_install_flags.state = nullptr;
  return -1;
}

int ui_uninstall_run_inproc(install_state* state, const char* extraction_folder) {
  if (!state || !extraction_folder || !extraction_folder[0] || !ui_host_window()) return -1;
  ui_open_log("Corvane.UninstallerUI", "UninstallerUI");
  if (ui_uninstall_screen_start(state) != 0) return -1;
  if (webview_continue(&g_config) == 0) return 0;
  log_error("ui_uninstall_run_inproc: webview_continue failed");
  stop_worker(&ui_uninstall_flags.cancelled, &ui_uninstall_flags.worker_thread);
  ui_uninstall_flags.state = nullptr;
  return -1;
}
