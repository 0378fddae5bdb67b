#include "install/session_user.h"

#include <windows.h>

#include "base/admin_token.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/session_win.h"
#include "install/launch_paths.h"

namespace {

int process_user_sid(HANDLE process, char* out, size_t size) {
  kernel_handle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.receive())) return -1;
  return token_user_sid(token.get(), out, size);
}

int shell_user_sid(DWORD session, char* out, size_t size) {
  DWORD pid = session == NO_SESSION ? 0 : find_desktop_shell(launch_default_seams(), session);
  if (!pid) return -1;
  kernel_handle shell(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!shell || process_user_sid(shell.get(), out, size) != 0) {
    log_info("Interactive user: the desktop shell's token (pid=%lu) could not be read (gle=%lu)", pid, GetLastError());
    return -1;
  }
  log_info("Interactive user: %s (owner of the desktop shell pid=%lu, session %lu)", out, pid, session);
  return 0;
}

}  // namespace

int interactive_user_sid(char* out, size_t size) {
  DWORD session = own_session_id();
  if (shell_user_sid(session, out, size) == 0) return 0;
  if (process_user_sid(GetCurrentProcess(), out, size) == 0) {
    log_info("Interactive user: %s (this process's own user: no desktop shell of session %lu)", out, session);
    return 0;
  }
  log_error("Interactive user: neither the desktop shell's nor this process's user could be read (gle=%lu)",
            GetLastError());
  if (size) out[0] = '\0';
  return -1;
}
