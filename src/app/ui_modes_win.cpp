#include "app/ui_modes.h"

#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "telemetry/tracking.h"
#include "ui/commands/installer_commands.h"
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

// The screen's start, made as early as the run can (begin_*_ui) and taken up by run_*_ui.
struct screen_start {
  char folder[MAX_PATH];
  bool begun;
  ui_screen_start started;
  DWORD error;  // why the folders could not be made
};
screen_start g_screen;

void begin_screen(const char* log_stem, const char* component) {
  ui_open_log(log_stem, component);
  g_screen.started = ui_screen_prepare(g_screen.folder, sizeof g_screen.folder);
  g_screen.error = GetLastError();
  g_screen.begun = true;
}

// 0 once the pages are there, else the Win32 error that stands for their absence.
DWORD pages_error() {
  if (g_screen.started == ui_screen_start::no_folders) return g_screen.error ? g_screen.error : ERROR_PATH_NOT_FOUND;
  return ui_screen_pages_ready() != 0 ? GetLastError() : 0;
}

void end_screen() {
  log_close(LOG_UI);
  if (g_screen.begun) ui_cleanup_temp(g_screen.folder);
  g_screen = {};
}

// A screen's run, begun here when the run did not begin it: its UI log and folders go on every way out.
class screen_scope {
 public:
  explicit screen_scope(void (*begin)()) {
    if (!g_screen.begun) begin();
  }
  ~screen_scope() { end_screen(); }
  screen_scope(const screen_scope&) = delete;
  screen_scope& operator=(const screen_scope&) = delete;
};

enum class screen_run { closed, failed, not_shown };

// A screen that does not show settles the record here, before its close event reads it.
screen_run show_install_screen(install_state* state, void (*settle)(install_state*)) {
  screen_scope screen(begin_install_ui);
  DWORD missing = pages_error();
  if (g_screen.started != ui_screen_start::started || missing) {
    settle(state);
    if (missing) report_extraction_failure(g_screen.folder, missing);
    return screen_run::not_shown;
  }
  bool started = ui_install_screen_start(state, settle) == 0;
  if (started) ui_host_run(ui_progress_screen_config());
  ui_install_finish(state);
  return started ? screen_run::closed : screen_run::failed;
}

}  // namespace

void begin_install_ui() { begin_screen("Corvane.InstallerUI", "InstallerUI"); }

void begin_uninstall_ui() { begin_screen("Corvane.UninstallerUI", "UninstallerUI"); }

int run_install_ui(install_state* state, void (*settle)(install_state*)) {
  log_info("Mode: UI (WebView2)");
  screen_run run = show_install_screen(state, settle);
  if (run == screen_run::not_shown) return abort_without_webview(state);
  return run == screen_run::closed ? 0 : 1;
}

int run_uninstall_ui(install_state* state) {
  log_info("Mode: UI (WebView2) — welcome already shown");
  screen_scope screen(begin_uninstall_ui);
  if (pages_error()) {
    log_error("Failed to extract embedded resources");
    return -1;
  }
  if (g_screen.started == ui_screen_start::no_webview) {
    log_warn("WebView2 not available for uninstaller UI");
    return -1;
  }
  if (ui_uninstall_screen_start(state) != 0) return -1;
  ui_host_run(ui_progress_screen_config());
  uninstall_ui_end(state);
  return 0;
}
