// The single ways of shell_exec_as_user, and the seams tests use to steer the chain on a
// machine (or Wine prefix) where every process is an elevated administrator.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "install/launch_result.h"
#include "state/install_state.h"

struct launch_seams {
  DWORD (*own_session)();  // the session of this process (ProcessIdToSessionId)
  const wchar_t* shell_exe;    // the desktop shell whose token is borrowed: explorer.exe
  bool (*is_elevated)();       // is_process_elevated
  // The running desktop shell's Shell application object (a reference the caller
  // releases), or null with the failing step logged.
  IDispatch* (*desktop_application)();
};

// The seams of the product: the real calls.
const launch_seams* launch_default_seams();

// The desktop shell process (seams->shell_exe) of the session, or 0 (the miss logged).
DWORD find_desktop_shell(const launch_seams* seams, DWORD session);
// Path 1: CreateProcessWithTokenW with a copy of the desktop shell's token; 0 or -1.
int launch_via_user_token(const launch_seams* seams, const char* exe, const char* arguments,
                          const char* directory);
// Paths 2 and 3: the running desktop shell's ShellExecute, typed then late-bound; 0 or -1.
int launch_via_desktop_shell(const launch_seams* seams, const char* exe, const char* arguments,
                             const char* directory);
IDispatch* desktop_shell_application();
// The unelevated launch: ShellExecute "open" from this process. Returns the
// ShellExecute result (above 32 is success).
long launch_via_shell_execute(const char* exe, const char* arguments, const char* directory);

// The chain and the whole launch with chosen seams.
int shell_exec_as_user_with(const launch_seams* seams, const char* exe, const char* arguments,
                            const char* directory);
launch_result launch_installed_app_with(const launch_seams* seams, const install_state* state);
