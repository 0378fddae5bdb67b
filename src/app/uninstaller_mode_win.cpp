// The uninstaller: consent screen on a plain start, UI after the elevated relaunch, or a
// silent removal; then the deferred removal of the emptied install folder.
#include <windows.h>

#include "app/entry.h"
#include "app/run_mode.h"
#include "app/single_instance.h"
#include "app/switches.h"
#include "app/ui_modes.h"
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/wide_win.h"
#include "base/wow64_win.h"
#include "consent/consent.h"
#include "product/product.h"
#include "state/install_state.h"
#include "state/onboarding_values.h"
#include "state/os_probe.h"
#include "state/paths.h"
#include "telemetry/tracking.h"
#include "uninstall/temp_uninstaller.h"
#include "uninstall/uninstall_flow.h"

namespace {

void open_uninstaller_log() {
  char path[MAX_PATH];
  log_dated_path("Corvane.Uninstaller", path, sizeof path);
  log_open(LOG_MAIN, path, "Uninstaller");
}

int silent_uninstall(install_state* state, int log_mode_line) {
  if (log_mode_line) log_info("Mode: silent");
  return run_silent_uninstall(state);
}

// Only the file calls themselves run with redirection off (see wow64_win.h); logging stays out.
void remove_directory_logged(const char* path, int is_parent) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0) return;
  BOOL removed;
  DWORD error;
  {
    fs_redirection_off native;
    if (GetFileAttributesW(wide) == INVALID_FILE_ATTRIBUTES) return;
    removed = RemoveDirectoryW(wide);
    error = GetLastError();
  }
  if (removed) {
    log_info(is_parent ? "Deferred: removed parent directory: %s" : "Deferred: removed install directory: %s", path);
    return;
  }
  if (is_parent && error == ERROR_DIR_NOT_EMPTY) return;  // other products still live there
  log_warn(is_parent ? "Deferred: failed to remove parent directory (err=%lu): %s"
                     : "Deferred: failed to remove install directory (err=%lu): %s",
           error, path);
}

// Succeeds only when the uninstall left the folders empty.
void deferred_directory_removal(const install_state* state) {
  if (!state->install_dir[0]) return;
  remove_directory_logged(state->install_dir, 0);
  char parent[MAX_PATH];
  parent_directory(state->install_dir, parent, sizeof parent);
  if (parent[0]) remove_directory_logged(parent, 1);
}

}  // namespace

int run_uninstaller(const char* args, run_scope& run) {
  int skip_welcome = has_skip_welcome(args);
  log_set_min_level(LOG_LEVEL_INFO);
  if (!skip_welcome && !single_instance_acquire(UNINSTALLER_MUTEX_NAME)) {
    run.stepped_aside = true;
    if (!is_silent(args)) {
      focus_existing_window();
      return 0;
    }
    open_uninstaller_log();
    return refuse_silent_run_without_lock("uninstaller");
  }
  open_uninstaller_log();
  log_info("=== Corvane Uninstaller %s starting ===", INSTALLER_VERSION);
  if (running_from_install_dir()) start_temp_uninstaller_staging();
  if (skip_welcome && !is_silent(args)) begin_uninstall_ui();

  static install_state state;
  run.record = &state;
  install_state_init(&state);
  state.dry_run = dry_run_choice(args);
  if (state.dry_run) log_info("DRY RUN mode enabled");
  int persisted = read_send_usage_data();
  int explicit_choice = usage_data_switch(args);
  state.analytics_enabled = analytics_choice(persisted, explicit_choice);
  log_info("Uninstaller anonymous usage data: %s (persisted=%d, explicit=%d)",
           state.analytics_enabled ? "Granted" : "Declined", persisted, explicit_choice);
  state.is_uninstall_before_install = has_uninstall_before_install(args);
  if (state.is_uninstall_before_install) {
    log_info("Uninstaller invoked by installer (pre-install flow)");
  }
  tracking_send(&state, "corvane.uninstaller.run", "Uninstaller ran");

  int code;
  if (is_silent(args)) {
    code = silent_uninstall(&state, 1);
  } else if (skip_welcome) {
    code = run_uninstall_ui(&state);
    if (code != 0) {
      log_warn("WebView2 not available — falling back to silent");
      code = silent_uninstall(&state, 0);
    }
  } else {
    const int dry_run = dry_run_choice(args);
    log_info("Mode: showing welcome / consent screen (elevated=%s)", is_process_elevated() ? "yes" : "no");
    consent_result ended = consent_webview(&state, dry_run);
    if (ended == consent_result::use_native_window) ended = consent_window(&state, dry_run);
    code = consent_exit_code(ended);
  }
  temp_uninstaller_release();  // the staged copy goes with the private folder
  deferred_directory_removal(&state);
  // The run's last events are delivered (or given up) before the run's end begins.
  tracking_shutdown();
  return code;
}
