// The installer: the unelevated first run (lock, OS gate, attribution, consent) and the
// post-consent or silent run that installs.
#include <windows.h>

#include "app/entry.h"
#include "app/run_mode.h"
#include "app/single_instance.h"
#include "app/switches.h"
#include "app/ui_modes.h"
#include "base/log.h"
#include "consent/consent.h"
#include "install/install_sequence.h"
#include "product/product.h"
#include "state/attribution.h"
#include "state/install_state.h"
#include "state/onboarding_values.h"
#include "state/tag_block.h"
#include "telemetry/tracking.h"
#include "uninstall/existing_install.h"

namespace {

void open_installer_log() {
  char path[MAX_PATH];
  log_dated_path("Corvane.Installer", path, sizeof path);
  log_open(LOG_MAIN, path, "Installer");
}

void send_run_event(install_state* state) { tracking_send(state, "corvane.installer.run", "Installer launched"); }

// Refuses 32-bit Windows and builds before 17763; returns 1 when the run must stop.
int refuse_unsupported_os(install_state* state) {
  os_gate_result gate = os_gate(state->os_architecture, state->os_build);
  if (gate == OS_SUPPORTED) return 0;
  const char* dialog = os_gate_dialog_text(gate);
  tracking_send(state, "corvane.installer.run", os_gate_run_message(gate));
  log_warn("Unsupported OS — aborting before UI: %s (arch=%s build=%s)", dialog, state->os_architecture,
           state->os_build[0] ? state->os_build : "(unknown)");
  MessageBoxA(nullptr, dialog, "Corvane", MB_ICONERROR | MB_TOPMOST);
  tracking_send_installer_close(state, os_gate_close_message(gate), "not_reached", "pre_install", nullptr);
  return 1;
}

void apply_analytics_choice(install_state* state, const char* args) {
  state->analytics_enabled = analytics_choice(read_send_usage_data(), usage_data_switch(args));
}

void decide_uninstall_first(install_state* state, const char* args) {
  state->uninstall_first = 0;
  int found = probe_existing_install(&state->existing);
  int switch_given = uninstall_first_switch(args);
  int tag_pref = tag_uninstall_first();
  if (found) {
    state->uninstall_first = uninstall_first_choice(1, switch_given, tag_pref);
    log_info("Existing install detected (has_c=%d has_msi=%d product=%s version=%s cmdline=%d tag_pref=%d "
             "uninstall_existing=%d)",
             state->existing.has_c, state->existing.has_msi,
             state->existing.product_code[0] ? state->existing.product_code : "(none)",
             state->existing.existing_version[0] ? state->existing.existing_version : "(unknown)", switch_given,
             tag_pref, state->uninstall_first);
  } else if (switch_given == 1 || tag_pref == 1) {
    log_info("uninstall-first signalled but no existing install found at install-time re-probe — nothing to do");
  }
}

const char* g_install_args = "";

// The run's record: identity, attribution, the machine, the run's choices, the session data
// (its request may take seconds on a slow network) and the existing install. In line in a
// silent run; behind a screen it is the worker's first step, so the window does not wait for it.
void gather_record(install_state* state) {
  const char* args = g_install_args;
  install_state_init(state);
  install_state_start_attribution(state, nullptr);
  record_install_started();
  log_info("State initialized");
  log_info("OS: %s %s (%s)", state->os_name, state->os_edition, state->os_architecture);
  log_debug("User: %s, Machine: %s", state->user_name, state->computer_name);
  state->dry_run = dry_run_choice(args);
  if (state->dry_run) log_info("DRY RUN mode enabled");
  state->decrypt_https = decrypt_https_choice(args);
  log_info("HTTPS decryption consent: %s", state->decrypt_https ? "Granted" : "Declined");
  apply_analytics_choice(state, args);
  log_info("Anonymous usage-data opt-in: %s", state->analytics_enabled ? "Granted" : "Declined");
  commit_attribution_to_registry(state);
  log_info("Version: %s, HostPrefix: %s", state->app_version[0] ? state->app_version : "(latest)", state->host_prefix);
  decide_uninstall_first(state, args);
}

// The welcome/consent screen of the first run; its result is the exit code.
int run_consent(install_state* first, const char* args) {
  const int dry_run = dry_run_choice(args);
  int native_fallback = 0;
  consent_result ended = consent_webview(first, dry_run);
  if (ended == consent_result::use_native_window) {
    native_fallback = 1;
    ended = consent_window(first, dry_run);
  }
  const int result = consent_exit_code(ended);
  if (result == EXIT_ELEVATED_COPY_EXITED || result == EXIT_ELEVATED_COPY_SHOWED_NOTHING) {
    log_info("Elevated handoff failed (ret=%d) — consent path already sent installer.close", result);
  } else if (result != 0) {
    const char* message = native_fallback ? "User cancelled (WebView2 unavailable)" : "User cancelled (consent)";
    commit_attribution_to_registry(first);
    log_info("Consent path returned without handoff (ret=%d, native_fallback=%d) — sending installer.close: %s",
             result, native_fallback, message);
    tracking_send_installer_close(first, message, "not_reached", "pre_install", nullptr);
  }
  return result;
}

// Silent or post-consent run: a fresh record, the run's choices, then the work.
int run_install(const char* args, int silent, run_scope& run) {
  open_installer_log();
  log_info("=== Corvane Installer %s starting ===", INSTALLER_VERSION);
  static install_state state;
  run.record = &state;
  run.installer = {true, silent != 0, has_skip_welcome(args) != 0};
  g_install_args = args;
  int code = 0;
  if (silent) {
    gather_record(&state);
    code = run_silent_install(&state);
  } else {
    begin_install_ui();
    code = run_install_ui(&state, gather_record);
  }
  tracking_shutdown();  // the run's last events are out (or given up) before the run's end
  return code;
}

}  // namespace

int run_installer(const char* args, run_scope& run) {
  int skip_welcome = has_skip_welcome(args);
  int silent = is_silent(args);
  open_installer_log();
  log_info("=== Corvane Installer %s launched (%s) ===", INSTALLER_VERSION,
           skip_welcome ? "post-consent relaunch" : "initial");

  // The first record serves the gate, attribution and consent of the unelevated first run.
  static install_state first;
  if (!skip_welcome) {
    if (!single_instance_acquire(INSTALLER_MUTEX_NAME)) {
      run.stepped_aside = true;
      if (silent) return refuse_silent_run_without_lock("installer");
      log_info("Another installer instance is already running — focusing it and exiting");
      focus_existing_window();
      return 0;
    }
    install_state_init(&first);
    apply_analytics_choice(&first, args);
    log_info("Initial anonymous usage-data preference: %s (explicit=%d)",
             first.analytics_enabled ? "Granted" : "Declined", usage_data_switch(args));
    if (refuse_unsupported_os(&first)) return 1;
    if (silent) {
      install_state_start_attribution(&first, nullptr);
      commit_attribution_to_registry(&first);
      send_run_event(&first);
    } else {
      install_state_start_attribution(&first, send_run_event);
    }
  }

  if (!silent && !skip_welcome) {
    // The end commits before telemetry shuts down: the commit joins the attribution thread,
    // which sends the run event when it finishes.
    run.record = &first;
    run.installer = {true, false, false};
    return run_consent(&first, args);
  }
  return run_install(args, silent, run);
}
