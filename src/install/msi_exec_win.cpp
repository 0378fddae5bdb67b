#include <windows.h>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/hidden_process_win.h"
#include "base/log.h"
#include "base/log_format.h"
#include "base/private_folder_win.h"
#include "base/reg_view_win.h"
#include "base/timestamp.h"
#include "product/ui_messages.h"
#include "base/unlinked_file_win.h"
#include "base/wide_win.h"
#include "install/command_lines.h"
#include "install/msi_busy.h"
#include "install/msi_exec.h"
#include "install/msi_exec_seam_win.h"
#include "product/msi_progress.h"
#include "product/product_places_win.h"

namespace {

void report(install_state* state, int percent, const char* stage = install_stage("installing")) {
  if (state->progress_fn) state->progress_fn(stage, percent, state->progress_ctx);
}

void record_package_size(install_state* state, const wchar_t* msi) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(msi, GetFileExInfoStandard, &data)) return;
  uint64_t bytes = (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  state->msi_file_size_kb = static_cast<int64_t>(bytes >> 10);
}

process_result simulate_install(install_state* state) {
  log_info("DRY RUN: simulating MSI install (20 seconds)");
  for (int percent = 30; percent <= 80; ++percent) {
    report(state, percent);
    if (percent < 80) Sleep(400);
  }
  log_info("DRY RUN: simulated install complete");
  return {true, 0, 0};
}

// The Mark of the Web would make Windows treat the package as downloaded from the internet.
void remove_zone_identifier(const char* msi_path) {
  char stream[MAX_PATH + 20];
  text_format(stream, sizeof stream, "%s:Zone.Identifier", msi_path);
  wchar_t wide[MAX_PATH + 20];
  if (utf8_to_wide(stream, wide, MAX_PATH + 20) == 0) DeleteFileW(wide);
}

// Once per machine: the first successful install's date and time.
void record_first_install(install_state* state) {
  if (state->install_date[0]) return;
  local_date_stamp(state->install_date, sizeof state->install_date);
  reg_write_once_hklm("InstallDate", state->install_date);
  uint32_t stamp = state->server_timestamp ? state->server_timestamp : static_cast<uint32_t>(unix_seconds_now());
  char text[16];
  text_format(text, sizeof text, "%lu", static_cast<unsigned long>(stamp));
  reg_write_once_hklm("InstallTimestamp", text);
  log_info("InstallTimestamp=%s (source=%s)", text, state->server_timestamp ? "server" : "local clock");
}

// msiexec reports nothing to its caller: creep the bar along a curve that never reaches the end.
DWORD wait_with_creep(install_state* state, HANDLE process) {
  DWORD start = GetTickCount();
  int last = 30;
  for (;;) {
    DWORD wait = WaitForSingleObject(process, 500);
    if (wait != WAIT_TIMEOUT) return wait;
    if (!state->progress_fn) continue;
    if (creep_advance(MSI_INSTALL_CREEP, GetTickCount() - start, &last)) report(state, last);
  }
}

constexpr char MSI_LOG_NAME[] = "CorvaneMSILog.log";

int copy_file_contents(HANDLE from, HANDLE to) {
  char buffer[65536];
  DWORD read = 0, written = 0;
  while (ReadFile(from, buffer, sizeof buffer, &read, nullptr) && read > 0)
    if (!WriteFile(to, buffer, read, &written, nullptr) || written != read) return -1;
  return SetEndOfFile(to) ? 0 : -1;
}

// Opens the published log's name for rewriting as the program's own logs are opened: never
// through a link planted under it; a name taken by a link gives a name of this process's own.
HANDLE open_published_log(char* path, size_t size) {
  char temp[MAX_PATH + 1], primary[MAX_PATH];
  wchar_t wide[MAX_PATH];
  if (temp_folder(temp, sizeof temp) != 0 || !text_format(primary, sizeof primary, "%s%s", temp, MSI_LOG_NAME) ||
      !text_copy(path, size, primary) || utf8_to_wide(path, wide, MAX_PATH) != 0)
    return INVALID_HANDLE_VALUE;
  HANDLE file = open_unlinked_file(wide, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
  if (file != INVALID_HANDLE_VALUE || GetLastError() != ERROR_CANT_ACCESS_FILE) return file;
  if (log_link_fallback_path(temp, primary, GetCurrentProcessId(), path, size) != 0 ||
      utf8_to_wide(path, wide, MAX_PATH) != 0)
    return INVALID_HANDLE_VALUE;
  return open_unlinked_file(wide, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
}

// msiexec writes its verbose log in the private folder, which goes at the end of the run;
// support looks for it in the user's temp folder, so a copy is put there. Both folders end in
// a backslash.
void publish_msi_log(const char* log_folder) {
  char source[MAX_PATH], target[MAX_PATH];
  wchar_t wide[MAX_PATH];
  if (!text_format(source, sizeof source, "%s%s", log_folder, MSI_LOG_NAME) || utf8_to_wide(source, wide, MAX_PATH) != 0)
    return;
  kernel_handle from(CreateFileW(wide, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!from.valid()) {
    log_warn("msiexec log not found: %s (err=%lu)", source, GetLastError());
    return;
  }
  kernel_handle to(open_published_log(target, sizeof target));
  if (!to.valid() || copy_file_contents(from.get(), to.get()) != 0) {
    log_warn("Failed to copy the msiexec log to the temp folder (err=%lu)", GetLastError());
    return;
  }
  log_info("msiexec log: %s", target);
}

process_result start_and_wait(install_state* state, const char* command) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  owned_process process;
  if (start_program(command, 0, &startup, process.receive()) != 0) {
    process_result run = process_not_started(GetLastError());
    log_error("Failed to start msiexec (err=%lu)", run.windows_error);
    return run;
  }
  wait_with_creep(state, process.process());
  DWORD exit_code = static_cast<DWORD>(-1);
  if (!GetExitCodeProcess(process.process(), &exit_code)) exit_code = static_cast<DWORD>(-1);
  log_write(LOG_MAIN, msi_success(static_cast<int>(exit_code)) ? LOG_LEVEL_INFO : LOG_LEVEL_WARN,
            "msiexec exit code: %lu", exit_code);
  return {true, exit_code, 0};
}

void sleep_ms(unsigned long ms) { Sleep(ms); }

// While another installation holds the Windows Installer, the same package is tried again
// after the waits of msi_busy_wait_ms; the page shows what the program waits for.
process_result run_while_installer_busy(install_state* state, const char* command) {
  process_result run = msi_exec_run(state, command);
  uint32_t waited = 0;
  for (int retries = 0; run.shown_code() == MSI_INSTALLER_BUSY; ++retries) {
    uint32_t wait = msi_busy_wait_ms(retries, waited);
    if (wait == 0) {
      log_warn("Another installation is still in progress after %lu s of waiting — giving up",
               static_cast<unsigned long>(waited / 1000));
      break;
    }
    log_info("Another installation is in progress (msiexec exit code %d) — waiting %lu s before try %d",
             MSI_INSTALLER_BUSY, static_cast<unsigned long>(wait / 1000), retries + 2);
    report(state, 30, install_stage("waiting_for_installer"));
    msi_busy_sleep(wait);
    waited += wait;
    report(state, 30);
    run = msi_exec_run(state, command);
  }
  return run;
}

}  // namespace

process_result (*msi_exec_run)(install_state* state, const char* command) = start_and_wait;
void (*msi_busy_sleep)(unsigned long ms) = sleep_ms;

process_result run_msi_install(install_state* state, const char* msi_path) {
  wchar_t msi[MAX_PATH];
  if (utf8_to_wide(msi_path, msi, MAX_PATH) == 0) record_package_size(state, msi);
  if (state->dry_run) return simulate_install(state);

  remove_zone_identifier(msi_path);
  // msiexec's verbose log goes beside the package: written with the installer's rights, it
  // must not land on a name another process planted in the temp folder.
  char log_folder[MAX_PATH];
  char command[1025];
  if (private_folder(log_folder, sizeof log_folder) != 0 ||
      msi_install_command(msi_path, state->decrypt_https, log_folder, command, sizeof command) != 0) {
    log_error("Failed to start msiexec (err=%lu)", static_cast<unsigned long>(ERROR_FILENAME_EXCED_RANGE));
    return process_not_started(ERROR_FILENAME_EXCED_RANGE);
  }
  log_info("%s", command);

  process_result run = run_while_installer_busy(state, command);
  if (!run.started) return run;
  publish_msi_log(log_folder);
  if (msi_success(run.shown_code())) record_first_install(state);
  return run;
}
