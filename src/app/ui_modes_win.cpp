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
  if (g_screen.started == UI_SCREEN_NO_FOLDERS) return g_screen.error ? g_screen.error : ERROR_PATH_NOT_FOUND;
  ULONGLONG waiting = GetTickCount64();
  if (ui_screen_pages_ready() != 0) return GetLastError();
  // Zero while the pages unpack faster than the run gathers its state: then nobody waits for them.
  log_info("UI pages ready (waited %llu ms for them)", static_cast<unsigned long long>(GetTickCount64() - waiting));
  return 0;
}

void end_screen() {
  log_close(LOG_UI);
  if (g_screen.begun) ui_cleanup_temp(g_screen.folder);
  g_screen = {};
}

}  // namespace

void begin_install_ui() { begin_screen("Corvane.InstallerUI", "InstallerUI"); }

void begin_uninstall_ui() { begin_screen("Corvane.UninstallerUI", "UninstallerUI"); }

void abandon_screen_ui() { end_screen(); }

int run_install_ui(install_state* state) {
  log_info("Mode: UI (WebView2)");
  if (!g_screen.begun) begin_install_ui();
  DWORD error = pages_error();
  if (error) {
    report_extraction_failure(g_screen.folder, error);
    end_screen();
    return abort_without_webview(state);
  }
  if (g_screen.started == UI_SCREEN_NO_WEBVIEW) {
    end_screen();
    return abort_without_webview(state);
  }
  int code = 0;
  if (ui_install_screen_start(state) == 0)
    ui_host_run(ui_progress_screen_config());
  else
    code = 1;
  ui_install_finish(state);
  end_screen();
  return code;
}

int run_uninstall_ui(install_state* state) {
  log_info("Mode: UI (WebView2) — welcome already shown");
  if (!g_screen.begun) begin_uninstall_ui();
  if (pages_error()) {
    log_error("Failed to extract embedded resources");
    end_screen();
    return -1;
  }
  if (g_screen.started == UI_SCREEN_NO_WEBVIEW) {
    log_warn("WebView2 not available for uninstaller UI");
    end_screen();
    return -1;
  }
  if (ui_uninstall_screen_start(state) != 0) {
    end_screen();
    return -1;
  }
  ui_host_run(ui_progress_screen_config());
  uninstall_ui_end(state);
  end_screen();
  return 0;
}
