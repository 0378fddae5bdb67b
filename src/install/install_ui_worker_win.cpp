#include <windows.h>

#include "acquire/package_name.h"
#include "base/log.h"
#include "product/ui_messages.h"
#include "product/ui_post.h"
#include "install/install_steps.h"
#include "install/install_ui_worker.h"
#include "install/installed_app.h"
#include "install/registration.h"
#include "product/ui_post.h"
#include "state/attribution.h"
#include "telemetry/tracking.h"

ui_install_flags_t ui_install_flags;

void ui_install_flags_reset(install_state* state) {
  ui_install_flags = ui_install_flags_t{};
  ui_install_flags.state = state;
}

void ui_install_settle_on_worker(void (*settle)(install_state*)) {
  ui_install_flags.settle = settle;
  ui_install_flags.may_settle.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  ui_install_flags.settled.reset(CreateEventW(nullptr, TRUE, FALSE, nullptr));
  if (!ui_install_flags.may_settle || !ui_install_flags.settled) {
    ui_install_flags.may_settle.reset();
    ui_install_settle_now(ui_install_flags.state);
  }
}

void ui_install_let_settle() {
  if (ui_install_flags.may_settle) SetEvent(ui_install_flags.may_settle.get());
}

void ui_install_settle_now(install_state* state) {
  void (*settle)(install_state*) = ui_install_flags.settle;
  ui_install_flags.settle = nullptr;
  if (settle) settle(state);
  if (ui_install_flags.settled) SetEvent(ui_install_flags.settled.get());
}

bool ui_install_record_settled(DWORD wait_ms) {
  return !ui_install_flags.settled || WaitForSingleObject(ui_install_flags.settled.get(), wait_ms) == WAIT_OBJECT_0;
}

namespace {

// The product from before (or the new one) is there: closing the window may launch it.
const char* outcome_when_present(const install_state* state, const char* present, const char* absent) {
  if (!installed_app_present(state)) return absent;
  InterlockedExchange(&ui_install_flags.succeeded, 1);
  return present;
}

void end_with_terminal(const char* stage, const char* terminal, const char* outcome) {
  ui_send_progress(install_stage("done"), 100);
  Sleep(500);
  ui_send_terminal(stage, terminal, outcome);
}

int run_worker(install_state* state) {
  while (!ui_install_flags.begun && !ui_install_flags.cancelled) Sleep(100);
  if (ui_install_flags.cancelled) {
    log_info("User cancelled before install began");
    return 1;
  }
  ui_send_progress(install_stage("preparing"), 0);
  tracking_send(state, "corvane.installer.start", "Elevated install started");
  char msi_name[256];
  installer_package_name(state->os_architecture, state->app_version, msi_name, sizeof msi_name);
  log_info("MSI filename: %s", msi_name);
  tracking_send_installer_page(state, "download");
  ui_send_progress(install_stage("downloading"), 0);

  install_failure failure;
  if (acquire_and_install(state, msi_name, &failure) != 0) {
    report_install_failure(state, &failure);
    ui_send_terminal(failure.page_stage, "fail", outcome_when_present(state, "warning", "error"));
    return 1;
  }
  ui_send_progress(install_stage("finishing"), 85);
  if (state->dry_run) {
    log_info("DRY RUN: skipping post-install, uninstaller, and app launch");
    Sleep(800);
    tracking_send(state, "corvane.installer.finish", "Dry run complete");
    tracking_send_installer_page(state, "finish");
    end_with_terminal("done", "finish", "success");
    log_info("Dry run complete (UI mode)");
    return 0;
  }
  register_after_install(state);
  InterlockedExchange(&ui_install_flags.exit_stage, 2);
  install_state_mark_completed();
  start_product_service();
  tracking_send(state, "corvane.installer.finish", "Install complete");
  tracking_send_installer_page(state, "finish");
  ui_send_progress(install_stage("done"), 100);
  Sleep(500);
  ui_send_terminal("done", "finish", outcome_when_present(state, "success", "error"));
  log_info("Install complete (UI mode)");
  return 0;
}

}  // namespace

DWORD WINAPI ui_install_worker(LPVOID argument) {
  install_state* state = static_cast<install_state*>(argument);
  // Gathering the record competes with the window's start for the processor and the disk, and
  // the first screen needs nothing of it.
  if (ui_install_flags.may_settle) WaitForSingleObject(ui_install_flags.may_settle.get(), INFINITE);
  ui_install_settle_now(state);
  state->progress_fn = ui_progress_callback;
  state->progress_ctx = nullptr;
  int result = run_worker(state);
  return static_cast<DWORD>(result);
}
