#include <windows.h>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/hidden_process_win.h"
#include "base/log.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "base/schtasks_command.h"
#include "install/registration.h"
#include "product/product.h"
#include "state/onboarding_values.h"
#include "ui/commands/launch_on_logon.h"

namespace {

constexpr DWORD SCHTASKS_WAIT_MS = 15000;
constexpr DWORD NO_EXIT_CODE = 0xFFFFFFFF;

const char* const LEGACY_TASKS[] = {LEGACY_SERVICE_CHECK_LOGON_TASK, LEGACY_SERVICE_CHECK_HOURLY_TASK,
                                    LEGACY_SERVICE_START_LOGON_TASK};

// Runs schtasks hidden and waits; the exit code, NO_EXIT_CODE when none was obtained.
// *started tells whether the process could be created (GetLastError says why not).
DWORD run_schtasks(const char* command, int* started) {
  process_result run = run_hidden(command, SCHTASKS_WAIT_MS);
  *started = run.started;
  return run.ended() ? run.exit_code : NO_EXIT_CODE;
}

// The preference the app reads, the legacy Run autostart removed, and the app's sign-in task.
void update_user_preference(const onboarding_root* root, const char* install_dir, int enabled) {
  const char* mode = enabled ? "window" : "off";
  launch_on_logon_keys keys;
  char command[TASK_COMMAND_SIZE];
  if (!launch_on_logon_keys_for(root, &keys) || !ui_task_command(install_dir, command, sizeof command)) {
    log_write(LOG_UI, LOG_LEVEL_WARN,
              "launch-on-logon: key or task command too long — skipping UI preference/task update");
    return;
  }
  HKEY hive = root->kind == ONBOARDING_ROOT_USERS ? HKEY_USERS : HKEY_CURRENT_USER;
  if (reg_write_text(hive, keys.product_key, REG_VIEW_64, "LaunchMode", mode) != ERROR_SUCCESS)
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: failed to write LaunchMode=%s", mode);
  reg_delete_value(hive, keys.run_key, REG_VIEW_64, RUN_VALUE_NAME);
  int started = 0;
  DWORD exit_code = run_schtasks(command, &started);
  if (!started)
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: failed to update unified UI task (err=%lu)", GetLastError());
  if (exit_code == 0)
    log_write(LOG_UI, LOG_LEVEL_INFO, "launch-on-logon: unified UI task updated (exit=0, enabled=1, mode=%s)", mode);
  else
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: unified UI task update failed (exit=%lu, mode=%s)", exit_code,
              mode);
}

// The service's check task, which also launches the app at sign-in when asked; the older
// tasks it replaces go only once it is in place.
void update_service_task(const char* install_dir, int enabled) {
  char command[TASK_COMMAND_SIZE];
  DWORD exit_code = NO_EXIT_CODE;
  if (service_task_command(install_dir, enabled, command, sizeof command)) {
    int started = 0;
    exit_code = run_schtasks(command, &started);
    if (!started)
      log_write(LOG_UI, LOG_LEVEL_WARN, "service-check: failed to update unified task (err=%lu)", GetLastError());
  }
  if (exit_code != 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN,
              "service-check: unified task update failed (exit=%lu, launch_at_logon=%d); legacy tasks retained",
              exit_code, enabled);
    return;
  }
  DWORD legacy[3];
  for (int i = 0; i < 3; ++i) {
    int started = 0;
    legacy[i] = schtasks_delete_command(LEGACY_TASKS[i], command, sizeof command) ? run_schtasks(command, &started)
                                                                                  : NO_EXIT_CODE;
  }
  log_write(
      LOG_UI, LOG_LEVEL_INFO,
      "service-check: unified task updated (exit=0, enabled=1, launch_at_logon=%d); legacy delete exits=%lu/%lu/%lu",
      enabled, legacy[0], legacy[1], legacy[2]);
}

struct logon_request {
  char install_dir[MAX_PATH];
  int enabled;
};

kernel_handle g_logon_thread;  // the UI thread's alone
volatile LONG g_logon_busy;  // set by the UI thread, cleared by the run when it ends

DWORD WINAPI logon_thread(LPVOID argument) {
  heap_block<logon_request> request(static_cast<logon_request*>(argument));
  set_launch_on_logon(request->install_dir, request->enabled);
  request.reset();
  InterlockedExchange(&g_logon_busy, 0);
  return 0;
}

}  // namespace

void ui_start_launch_on_logon(const char* install_dir, int enabled) {
  if (InterlockedCompareExchange(&g_logon_busy, 1, 0) != 0) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: still applying the previous request — this one is ignored");
    return;
  }
  ui_launch_on_logon_join(INFINITE);  // the last run has ended but for its return
  heap_block<logon_request> request = heap_allocate<logon_request>(1);
  if (request) {
    text_copy(request->install_dir, install_dir);
    request->enabled = enabled;
    g_logon_thread.reset(CreateThread(nullptr, 0, logon_thread, request.get(), 0, nullptr));
    if (g_logon_thread) {
      request.release();  // the thread frees it
      return;
    }
  }
  log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: thread spawn failed — applying synchronously");
  set_launch_on_logon(install_dir, enabled);
  InterlockedExchange(&g_logon_busy, 0);
}

void ui_launch_on_logon_join(uint32_t timeout_ms) {
  if (!g_logon_thread) return;
  if (WaitForSingleObject(g_logon_thread.get(), timeout_ms) == WAIT_TIMEOUT) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch-on-logon: still running after %lu ms — leaving it",
              static_cast<unsigned long>(timeout_ms));
  }
  g_logon_thread.reset();
}

void set_launch_on_logon(const char* install_dir, int enabled) {
  const onboarding_root* root = onboarding_root_ensure();
  if (root->kind == ONBOARDING_ROOT_HKLM)
    log_write(LOG_UI, LOG_LEVEL_INFO,
              "launch-on-logon: no user hive (HKLM fallback) — skipping UI preference/task update");
  else
    update_user_preference(root, install_dir, enabled);
  update_service_task(install_dir, enabled);
  if (enabled) start_product_service();
}
