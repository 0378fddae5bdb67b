#include <windows.h>
#include <wtsapi32.h>

#include <cstring>

#include "base/admin_token.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/session_win.h"
#include "state/onboarding_values.h"

namespace {

// The user of this process's own session; a LocalSystem process in session 0 (where services
// and management agents run, and no one is signed in) acts for the console session's user.
int console_user_sid(char* out, size_t size) {
  DWORD session = own_session_id();
  if (session == 0 || session == NO_SESSION) session = WTSGetActiveConsoleSessionId();
  if (session == NO_SESSION) return -1;
  kernel_handle user;
  if (!WTSQueryUserToken(session, user.receive())) return -1;
  return token_user_sid(user.get(), out, size);
}

void log_choice(const onboarding_root* root) {
  if (root->kind == ONBOARDING_ROOT_HKCU) log_info("ENG-937: v2 onboarding root = HKCU (interactive UAC)");
  else if (root->kind == ONBOARDING_ROOT_USERS)
    log_info("ENG-937: v2 onboarding root = %s (SCCM/Intune, console user logged in)", root->label);
  else log_info("ENG-937: v2 onboarding root = HKLM (SCCM/Intune, no console user — UI will migrate on first run)");
}

onboarding_root g_root;
INIT_ONCE g_root_once = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK resolve_once(INIT_ONCE*, void*, void**) {
  onboarding_root_resolve(&g_root);
  return TRUE;
}

}  // namespace

void onboarding_root_resolve(onboarding_root* out) {
  char process_sid[SID_TEXT_BUFFER], console_sid[SID_TEXT_BUFFER];
  int have_process = 0, have_console = 0;
  kernel_handle process;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, process.receive()))
    have_process = token_user_sid(process.get(), process_sid, sizeof process_sid) == 0;
  // Only LocalSystem looks for a console user: a management agent installs on their behalf.
  if (have_process && strcmp(process_sid, "S-1-5-18") == 0)
    have_console = console_user_sid(console_sid, sizeof console_sid) == 0;
  onboarding_root_plan(have_process ? process_sid : nullptr, have_console ? console_sid : nullptr, out);
  log_choice(out);
}

const onboarding_root* onboarding_root_ensure() {
  InitOnceExecuteOnce(&g_root_once, resolve_once, nullptr, nullptr);
  return &g_root;
}
