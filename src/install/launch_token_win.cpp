// Path 1 of the chain: start the app with a copy of the desktop shell's token, which is the
// signed-in user's unelevated token, in the user's own environment.
#include <windows.h>
#include <tlhelp32.h>
#include <userenv.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "base/session_win.h"
#include "base/wide_win.h"
#include "install/launch_paths.h"

namespace {

// A primary token copied from the shell process, or empty (the failing step logged).
kernel_handle copy_shell_token(DWORD pid, DWORD session) {
  kernel_handle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) {
    log_info("shell_exec_as_user: OpenProcess(explorer pid=%lu) failed (gle=%lu)", pid, GetLastError());
    return {};
  }
  kernel_handle token, primary;
  if (!OpenProcessToken(process.get(), TOKEN_DUPLICATE | TOKEN_QUERY, token.receive())) {
    log_info("shell_exec_as_user: OpenProcessToken(explorer pid=%lu) failed (gle=%lu)", pid, GetLastError());
  } else if (!DuplicateTokenEx(token.get(), MAXIMUM_ALLOWED, nullptr, SecurityImpersonation, TokenPrimary,
                               primary.receive())) {
    log_info("shell_exec_as_user: DuplicateTokenEx(explorer token) failed (gle=%lu)", GetLastError());
    primary.reset();
  } else {
    log_info("shell_exec_as_user: cloned token from explorer pid=%lu (session=%lu)", pid, session);
  }
  return primary;
}

uint32_t integrity_rid(HANDLE process) {
  kernel_handle token;
  if (!OpenProcessToken(process, TOKEN_QUERY, token.receive())) return 0;
  alignas(8) BYTE buffer[128];
  DWORD bytes = 0;
  uint32_t rid = 0;
  if (GetTokenInformation(token.get(), TokenIntegrityLevel, buffer, sizeof buffer, &bytes)) {
    PSID sid = reinterpret_cast<TOKEN_MANDATORY_LABEL*>(buffer)->Label.Sid;
    UCHAR count = *GetSidSubAuthorityCount(sid);
    if (count > 0) rid = *GetSidSubAuthority(sid, count - 1);
  }
  return rid;
}

// The command line lives on the heap: arguments may make it longer than a path.
wchar_t* wide_command_line(const char* exe, const char* arguments) {
  char narrow[MAX_PATH + 600];
  if (!launch_command_line(exe, arguments, narrow, sizeof narrow)) return nullptr;
  return utf8_to_wide_heap(narrow);
}

int create_with_token(HANDLE token, void* environment, const wchar_t* exe, wchar_t* command, const wchar_t* dir) {
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  si.lpDesktop = const_cast<wchar_t*>(L"winsta0\\default");
  si.dwFlags = STARTF_USESHOWWINDOW;
  si.wShowWindow = SW_SHOWDEFAULT;
  owned_process started;
  if (!CreateProcessWithTokenW(token, 0, exe, command, CREATE_UNICODE_ENVIRONMENT, environment, dir[0] ? dir : nullptr,
                               &si, started.receive())) {
    log_warn("shell_exec_as_user: CreateProcessWithTokenW failed (gle=%lu)", GetLastError());
    return -1;
  }
  uint32_t rid = integrity_rid(started.process());
  log_info("shell_exec_as_user: launched via CreateProcessWithTokenW pid=%lu integrity=%s (rid=0x%lx)",
           started.get().dwProcessId, integrity_level_word(rid), static_cast<unsigned long>(rid));
  return 0;
}

int launch_with_token(HANDLE token, const char* exe, const char* arguments, const char* directory) {
  void* environment = nullptr;
  if (!CreateEnvironmentBlock(&environment, token, FALSE)) {
    log_info("shell_exec_as_user: CreateEnvironmentBlock failed (gle=%lu); continuing without user env block",
             GetLastError());
    environment = nullptr;
  }
  int result = -1;
  wchar_t exe_w[MAX_PATH], dir_w[MAX_PATH];
  heap_block<wchar_t> command;
  if (utf8_to_wide(exe, exe_w, MAX_PATH) != 0 || !exe_w[0]) {
    log_info("shell_exec_as_user: exe path conversion failed (gle=%lu)", GetLastError());
  } else if (!(command = heap_block<wchar_t>(wide_command_line(exe, arguments)))) {
    log_info("shell_exec_as_user: command line could not be built (gle=%lu)", GetLastError());
  } else {
    if (utf8_to_wide(directory ? directory : "", dir_w, MAX_PATH) != 0) dir_w[0] = L'\0';
    result = create_with_token(token, environment, exe_w, command.get(), dir_w);
  }
  if (environment) DestroyEnvironmentBlock(environment);
  return result;
}

}  // namespace

// The shell process of the given session, or 0 (each miss logged).
DWORD find_desktop_shell(const launch_seams* seams, DWORD session) {
  kernel_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    log_info("shell_exec_as_user: CreateToolhelp32Snapshot failed (gle=%lu)", GetLastError());
    return 0;
  }
  DWORD found = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more && !found;
       more = Process32NextW(snapshot.get(), &entry)) {
    DWORD process_session = 0;
    if (lstrcmpiW(entry.szExeFile, seams->shell_exe) == 0 &&
        ProcessIdToSessionId(entry.th32ProcessID, &process_session) && process_session == session)
      found = entry.th32ProcessID;
  }
  if (!found)
    log_info("shell_exec_as_user: no explorer.exe found in session %lu (Explorer not yet started or shell "
             "replacement in use)",
             session);
  return found;
}

int launch_via_user_token(const launch_seams* seams, const char* exe, const char* arguments, const char* directory) {
  DWORD session = seams->own_session();
  if (session == NO_SESSION) {
    log_info("shell_exec_as_user: ProcessIdToSessionId failed (gle=%lu); no session to look for a desktop shell in",
             GetLastError());
    return -1;
  }
  DWORD pid = find_desktop_shell(seams, session);
  if (!pid) return -1;
  kernel_handle token = copy_shell_token(pid, session);
  if (!token) return -1;
  int result = launch_with_token(token.get(), exe, arguments, directory);
  if (result != 0)
    log_info("shell_exec_as_user: CreateProcessWithTokenW path failed; falling back to IShellDispatch2 path");
  return result;
}
