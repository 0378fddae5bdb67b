#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "install/launch.h"
#include "install/launch_focus.h"
#include "install/launch_paths.h"
#include "product/product.h"

namespace {

// Family of the executable's attributes: 0 when they can be read.
int check_executable(const char* exe) {
  wchar_t wide[MAX_PATH];
  DWORD error = ERROR_PATH_NOT_FOUND;
  if (utf8_to_wide(exe, wide, MAX_PATH) == 0 && wide[0]) {
    if (GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES) return 0;
    error = GetLastError();
  }
  log_error("Corvane.exe launch rejected before handoff (gle=%lu)", error);
  return launch_family_of_file_error(error);
}

launch_result failed(int family) { return {LAUNCH_FAILED, family}; }

}  // namespace

launch_result launch_installed_app_with(const launch_seams* seams, const install_state* state) {
  int focus_rc = FOCUS_NOT_RUNNING;
  if (focus_running_app(&focus_rc)) return {LAUNCH_ALREADY_RUNNING, LAUNCH_FAMILY_NONE};

  char exe[MAX_PATH];
  // A cut path names some other file; it is as good as missing.
  if (!text_format(exe, sizeof exe, "%s\\%s", state->install_dir, PRODUCT_APP_EXE)) {
    log_error("Corvane.exe launch rejected before handoff (gle=%lu)", static_cast<unsigned long>(ERROR_PATH_NOT_FOUND));
    return failed(LAUNCH_FAMILY_EXECUTABLE_MISSING);
  }
  if (int family = check_executable(exe)) return failed(family);

  char arguments[320];
  if (!launch_arguments(state->install_event_id, arguments, sizeof arguments))
    log_warn("Install event id unusable on a command line; launching without it");
  log_info("Launching Corvane.exe (focus_rc=%d)", focus_rc);

  const char* directory = state->install_dir[0] ? state->install_dir : nullptr;
  if (!seams->is_elevated()) {
    long code = launch_via_shell_execute(exe, arguments, directory);
    if (code > 32) return {LAUNCH_STARTED, LAUNCH_FAMILY_NONE};
    log_error("shell_exec_as_user: ShellExecuteA failed (not elevated, code=%ld)", code);
    return failed(launch_family_of_shell_code(code));
  }
  if (shell_exec_as_user_with(seams, exe, arguments, directory) == 0) return {LAUNCH_STARTED, LAUNCH_FAMILY_NONE};
  return failed(LAUNCH_FAMILY_SHELL_UNAVAILABLE);  // no unelevated way to start it was left
}

launch_result launch_installed_app(const install_state* state) {
  return launch_installed_app_with(launch_default_seams(), state);
}
