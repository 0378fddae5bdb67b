// The app's launch from the install screen: on a thread of its own when the page asks, so the
// window stays responsive while the de-elevation chain runs; its result lands in the flags
// unless the end of the screen has given up waiting for it.
#include <windows.h>

#include <objbase.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "install/install_ui_worker.h"
#include "install/launch.h"
#include "ui/commands/install_end_rules.h"
#include "ui/commands/installer_commands.h"

namespace {

// Makes "abandoned" and a late result exclusive: once the end has reported the time-out, the
// launcher's answer can no longer change what was reported.
SRWLOCK g_result_lock = SRWLOCK_INIT;

DWORD WINAPI launch_thread(LPVOID argument) {
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
  launch_result result = launch_installed_app(static_cast<const install_state*>(argument));
  ui_record_launch_result(result.code, result.family);
  if (SUCCEEDED(com)) CoUninitialize();
  return 0;
}

}  // namespace

void ui_record_launch_result(int code, int family) {
  AcquireSRWLockExclusive(&g_result_lock);
  if (!ui_install_flags.launch_abandoned) {
    InterlockedExchange(&ui_install_flags.launch_outcome, ui_launch_outcome_of_code(code));
    InterlockedExchange(&ui_install_flags.launch_error_family, family);
  }
  ReleaseSRWLockExclusive(&g_result_lock);
}

void ui_launch_app(const char*, int32_t) {
  // The page asks for the launch after a dry run's finish too; a dry run installed nothing.
  if (ui_install_dry_run()) {
    log_write(LOG_UI, LOG_LEVEL_INFO, "DRY RUN: skipping app launch");
    return;
  }
  // Only the finish page asks, once the product is there; asked earlier, it would launch
  // nothing and keep the end from launching the product it installs.
  if (!InterlockedCompareExchange(&ui_install_flags.succeeded, 0, 0)) {
    log_write(LOG_UI, LOG_LEVEL_WARN, "launch_app before the product is installed — ignored");
    return;
  }
  install_state* state = ui_install_flags.state;
  InterlockedExchange(&ui_install_flags.launch_requested, 1);
  if (ui_install_flags.launch_thread) return;
  ui_install_flags.launch_thread.reset(CreateThread(nullptr, 0, launch_thread, state, 0, nullptr));
  if (ui_install_flags.launch_thread) return;
  log_write(LOG_UI, LOG_LEVEL_WARN, "Launch thread spawn failed — falling back to synchronous launch");
  launch_result result = launch_installed_app(state);
  ui_record_launch_result(result.code, result.family);
}

void ui_launch_join(uint32_t timeout_ms) {
  if (!ui_install_flags.launch_thread) return;
  kernel_handle thread(ui_install_flags.launch_thread.release());
  if (WaitForSingleObject(thread.get(), timeout_ms) == WAIT_TIMEOUT) {
    AcquireSRWLockExclusive(&g_result_lock);
    ui_install_flags.launch_abandoned = 1;
    InterlockedExchange(&ui_install_flags.launch_error_family, LAUNCH_FAMILY_TIMEOUT);
    InterlockedExchange(&ui_install_flags.launch_outcome, OUTCOME_LAUNCH_FAILED);
    ReleaseSRWLockExclusive(&g_result_lock);
    log_error("Corvane launch handoff timed out after 15s");
  }
}
