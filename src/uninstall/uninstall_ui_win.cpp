#include <windows.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "product/close_product_win.h"
#include "product/msi_progress.h"
#include "product/ui_messages.h"
#include "product/ui_post.h"
#include "telemetry/tracking.h"
#include "uninstall/msi_uninstall.h"
#include "uninstall/uninstall_ui.h"

ui_uninstall_flags_t ui_uninstall_flags;

namespace {

// Phase-done words and the removal's result, shared with the phase threads.
volatile LONG g_phase_done;
volatile LONG g_phase2_result;

DWORD WINAPI close_phase(LPVOID) {
  close_running_product();
  InterlockedExchange(&g_phase_done, 1);
  return 0;
}

DWORD WINAPI removal_phase(LPVOID state) {
  InterlockedExchange(&g_phase2_result, uninstall_msi_and_clean(static_cast<install_state*>(state)));
  InterlockedExchange(&g_phase_done, 1);
  return 0;
}

void simulate(const char* stage, int step, DWORD pause_ms) {
  for (int percent = 0; percent <= 100; percent += step) {
    ui_send_progress(stage, percent);
    if (percent < 100) Sleep(pause_ms);
  }
}

// Runs one phase on its own thread; the bar creeps from its first value until the phase is done.
void run_phase(LPTHREAD_START_ROUTINE body, void* argument, const char* stage, int first, const creep_curve& curve) {
  ui_send_progress(stage, first);
  InterlockedExchange(&g_phase_done, 0);
  DWORD start = GetTickCount();
  kernel_handle thread(CreateThread(nullptr, 0, body, argument, 0, nullptr));
  if (!thread) {
    log_warn("Uninstall phase thread could not start (err=%lu) — running it inline", GetLastError());
    body(argument);
    return;
  }
  int last = first;
  while (!InterlockedCompareExchange(&g_phase_done, 0, 0)) {
    Sleep(500);
    if (creep_advance(curve, GetTickCount() - start, &last)) ui_send_progress(stage, last);
  }
  WaitForSingleObject(thread.get(), INFINITE);
}

int wait_for_begin() {
  while (!ui_uninstall_flags.begun && !ui_uninstall_flags.cancelled) Sleep(100);
  return ui_uninstall_flags.cancelled ? 0 : 1;
}

int run_dry(install_state* state) {
  log_info("DRY RUN: simulating close phase (5 seconds)");
  simulate(uninstall_stage("closing"), 5, 250);
  ui_send_progress(uninstall_stage("closing"), 100);
  Sleep(300);
  ui_send_progress(uninstall_stage("uninstalling"), 0);
  log_info("DRY RUN: simulating uninstall phase (15 seconds)");
  simulate(uninstall_stage("uninstalling"), 2, 300);
  log_info("DRY RUN: simulated uninstall complete");
  tracking_send(state, "corvane.uninstaller.finish", "Dry run complete");
  ui_send_progress(uninstall_stage("done"), 100);
  Sleep(500);
  ui_send_terminal("done", "finish", "success");
  return 0;
}

}  // namespace

int uninstall_ui_start(install_state* state) {
  ui_uninstall_flags.state = state;
  ui_uninstall_flags.begun = 0;
  ui_uninstall_flags.cancelled = 0;
  ui_uninstall_flags.succeeded = 0;
  ui_uninstall_flags.worker_thread.reset(CreateThread(nullptr, 0, uninstall_ui_worker, state, 0, nullptr));
  return ui_uninstall_flags.worker_thread ? 0 : -1;
}

DWORD WINAPI uninstall_ui_worker(LPVOID argument) {
  install_state* state = static_cast<install_state*>(argument);
  DWORD result = 1;
  if (!wait_for_begin()) {
    log_info("User cancelled before uninstall began");
  } else {
    tracking_send(state, "corvane.uninstaller.start", "Uninstall started");
    ui_send_progress(uninstall_stage("closing"), 0);
    if (state->dry_run) {
      result = run_dry(state);
    } else {
      run_phase(close_phase, nullptr, uninstall_stage("closing"), 20, UNINSTALL_CLOSE_CREEP);
      ui_send_progress(uninstall_stage("closing"), 100);
      Sleep(300);
      ui_send_progress(uninstall_stage("uninstalling"), 0);
      run_phase(removal_phase, state, uninstall_stage("uninstalling"), 10, UNINSTALL_REMOVE_CREEP);
      ui_send_progress(uninstall_stage("uninstalling"), 90);
      InterlockedExchange(&ui_uninstall_flags.succeeded, 1);
      tracking_send(state, "corvane.uninstaller.finish", "Uninstall completed");
      ui_send_progress(uninstall_stage("done"), 100);
      Sleep(500);
      int complete = g_phase2_result == UNINSTALL_COMPLETE;
      ui_send_terminal("done", "finish", complete ? "success" : "warning");
      log_info("Uninstall complete (UI mode)");
      result = complete ? 0 : 1;
    }
  }
  return result;
}

void uninstall_ui_end(install_state* state) {
  InterlockedExchange(&ui_uninstall_flags.cancelled, 1);
  if (ui_uninstall_flags.worker_thread) WaitForSingleObject(ui_uninstall_flags.worker_thread.get(), 30000);
  ui_uninstall_flags.worker_thread.reset();
  tracking_send(state, "corvane.uninstaller.close", ui_uninstall_flags.begun ? "Uninstaller end" : "User cancelled");
  ui_uninstall_flags.state = nullptr;
}
