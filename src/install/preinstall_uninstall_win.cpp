// Removing an existing installation before the new one: close the running product on its own
// thread, then run a staged copy of this program as a silent uninstaller, then let the
// Windows Installer's global mutex go before the new msiexec starts.
#include <windows.h>

#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/hidden_process_win.h"
#include "base/log.h"
#include "base/own_image_win.h"
#include "base/private_folder_win.h"
#include "product/ui_messages.h"
#include "install/command_lines.h"
#include "install/preinstall_uninstall.h"
#include "product/close_product_win.h"
#include "product/msi_progress.h"

namespace {

void report(install_state* state, const char* stage, int percent) {
  if (state->progress_fn) state->progress_fn(stage, percent, state->progress_ctx);
}

process_result simulate(install_state* state) {
  log_info("DRY RUN: simulating existing close + uninstall (has_c=%d has_msi=%d product=%s)", state->existing.has_c,
           state->existing.has_msi, state->existing.product_code[0] ? state->existing.product_code : "(none)");
  for (int percent = 0; percent <= 100; percent += 10) {
    report(state, install_stage("closing_existing"), percent);
    if (percent < 100) Sleep(200);
  }
  for (int percent = 0; percent <= 100; percent += 5) {
    report(state, install_stage("uninstalling_existing"), percent);
    if (percent < 100) Sleep(400);
  }
  return {true, 0, 0};
}

// Waits for a thread or process without a limit, creeping the stage's bar meanwhile.
void wait_creeping(install_state* state, HANDLE handle, DWORD step_ms, const creep_curve& curve, const char* stage) {
  DWORD start = GetTickCount();
  int last = 0;
  while (WaitForSingleObject(handle, step_ms) == WAIT_TIMEOUT) {
    if (state->progress_fn && creep_advance(curve, GetTickCount() - start, &last)) report(state, stage, last);
  }
}

void close_phase(install_state* state) {
  report(state, install_stage("closing_existing"), 0);
  log_info("Pre-install close: stopping Corvane UI / services / driver");
  kernel_handle thread(CreateThread(nullptr, 0, close_running_product_thread, nullptr, 0, nullptr));
  if (!thread) {
    log_warn("Pre-install close: CreateThread failed (err=%lu) — running close inline", GetLastError());
    close_running_product();
  } else {
    wait_creeping(state, thread.get(), 250, PREINSTALL_CLOSE_CREEP, install_stage("closing_existing"));
  }
  report(state, install_stage("closing_existing"), 100);
}

// The copy that runs as the silent uninstaller: from the held image into the private folder,
// where no other process can replace it before it starts.
int stage_copy(char* staged, size_t size) {
  if (private_file_path("CorvaneUninstall-PreInstall.exe", staged, size < MAX_PATH ? size : MAX_PATH) != 0) return -1;
  DWORD error = own_image_copy(staged, CREATE_NEW);
  if (error != ERROR_SUCCESS) {
    char source[MAX_PATH];
    module_path(source, sizeof source);
    log_warn("stage_preinstall_uninstaller: CopyFile %s -> %s failed (err=%lu)", source, staged, error);
    return -1;
  }
  return 0;
}

}  // namespace

installer_mutex_wait wait_for_installer_mutex(unsigned long timeout_ms) {
  kernel_handle mutex(OpenMutexW(SYNCHRONIZE, FALSE, L"Global\\_MSIExecute"));
  if (!mutex) return installer_mutex_wait::absent;
  installer_mutex_wait result = installer_mutex_wait::other;
  DWORD wait = WaitForSingleObject(mutex.get(), timeout_ms);
  if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
    log_info("Global\\_MSIExecute acquired after pre-install uninstall — releasing for new install");
    ReleaseMutex(mutex.get());
    result = installer_mutex_wait::acquired;
  } else if (wait == WAIT_TIMEOUT) {
    log_warn("Global\\_MSIExecute still held %lus after pre-install uninstall — proceeding anyway, new install may "
             "fail with 1618",
             timeout_ms / 1000);
    result = installer_mutex_wait::timed_out;
  }
  return result;
}

process_result run_existing_uninstaller(install_state* state) {
  if (!state || !existing_install_found(state->existing)) {
    log_info("install_run_existing_uninstaller: no existing install recorded on state — nothing to do");
    return {true, 0, 0};
  }
  if (state->dry_run) return simulate(state);
  close_phase(state);

  char staged[MAX_PATH];
  if (stage_copy(staged, sizeof staged) != 0) {
    process_result run = process_not_started(GetLastError());
    log_warn("install_run_existing_uninstaller: stage failed — continuing with new install regardless");
    return run;
  }
  log_info("Staged pre-install uninstaller: %s", staged);
  char command[324];
  if (preinstall_uninstaller_command(staged, state->analytics_enabled, command, sizeof command) != 0) {
    log_warn("Failed to spawn pre-install uninstaller (err=%lu) — continuing with new install regardless",
             static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    return process_not_started(ERROR_FILENAME_EXCED_RANGE);
  }
  log_info("Pre-install uninstall: %s", command);
  report(state, install_stage("uninstalling_existing"), 0);

  owned_process process;
  if (start_hidden(command, process.receive()) != 0) {
    process_result run = process_not_started(GetLastError());
    log_warn("Failed to spawn pre-install uninstaller (err=%lu) — continuing with new install regardless",
             run.windows_error);
    return run;
  }
  wait_creeping(state, process.process(), 500, PREINSTALL_UNINSTALL_CREEP, install_stage("uninstalling_existing"));
  DWORD exit_code = static_cast<DWORD>(-1);
  if (!GetExitCodeProcess(process.process(), &exit_code)) exit_code = static_cast<DWORD>(-1);
  process.reset();
  log_write(LOG_MAIN, exit_code == 0 ? LOG_LEVEL_INFO : LOG_LEVEL_WARN, "Pre-install uninstaller exit code: %lu",
            exit_code);
  wait_for_installer_mutex(INSTALLER_MUTEX_WAIT_MS);
  report(state, install_stage("uninstalling_existing"), 100);
  return {true, exit_code, 0};
}
