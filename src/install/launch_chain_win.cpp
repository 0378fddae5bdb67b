// The order of the de-elevation chain: each way is tried only when the one before failed; when
// none works the launch fails rather than start the product elevated.
#include <windows.h>
#include <shellapi.h>

#include "base/log.h"
#include "base/session_win.h"
#include "base/wide_win.h"
#include "install/launch.h"
#include "install/launch_paths.h"
#include "state/os_probe.h"

namespace {

const launch_seams DEFAULT_SEAMS = {own_session_id, L"explorer.exe", is_process_elevated,
                                    desktop_shell_application};

}  // namespace

const launch_seams* launch_default_seams() { return &DEFAULT_SEAMS; }

long launch_via_shell_execute(const char* exe, const char* arguments, const char* directory) {
  // Wide text throughout: the paths are UTF-8 here and the ANSI call would garble them.
  wchar_t exe_w[MAX_PATH], dir_w[MAX_PATH], args_w[MAX_PATH + 600];
  if (utf8_to_wide(exe, exe_w, MAX_PATH) != 0 || !exe_w[0]) return SE_ERR_FNF;
  if (utf8_to_wide(arguments ? arguments : "", args_w, MAX_PATH + 600) != 0) args_w[0] = L'\0';
  if (utf8_to_wide(directory ? directory : "", dir_w, MAX_PATH) != 0) dir_w[0] = L'\0';
  HINSTANCE result = ShellExecuteW(nullptr, L"open", exe_w, args_w[0] ? args_w : nullptr, dir_w[0] ? dir_w : nullptr,
                                   SW_SHOWDEFAULT);
  return static_cast<long>(reinterpret_cast<INT_PTR>(result));
}

int shell_exec_as_user_with(const launch_seams* seams, const char* exe, const char* arguments,
                            const char* directory) {
  if (launch_via_user_token(seams, exe, arguments, directory) == 0) return 0;
  if (launch_via_desktop_shell(seams, exe, arguments, directory) == 0) return 0;
  // A ShellExecute from here would start the product as administrator in the person's session:
  // the person starts it from its shortcut instead, or it starts at the next sign-in.
  log_error("shell_exec_as_user: both de-elevation paths failed; not starting Corvane.exe elevated — launch failed");
  return -1;
}

int shell_exec_as_user(const char* exe, const char* arguments, const char* directory) {
  return shell_exec_as_user_with(&DEFAULT_SEAMS, exe, arguments, directory);
}
