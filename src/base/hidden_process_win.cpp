#include "base/hidden_process_win.h"

#include "base/wide_win.h"

namespace {
constexpr size_t COMMAND_CHARS = 1024;
}  // namespace

int start_hidden(const char* command_line, PROCESS_INFORMATION* process) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  wchar_t command[COMMAND_CHARS];
  if (utf8_to_wide(command_line, command, COMMAND_CHARS) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  *process = {};
  return CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        process)
             ? 0
             : -1;
}

hidden_run_result run_hidden(const char* command_line, DWORD timeout_ms, DWORD* exit_code) {
  PROCESS_INFORMATION process;
  if (start_hidden(command_line, &process) != 0) return HIDDEN_RUN_NOT_STARTED;
  hidden_run_result result = HIDDEN_RUN_TIMED_OUT;
  if (WaitForSingleObject(process.hProcess, timeout_ms) == WAIT_OBJECT_0) {
    result = HIDDEN_RUN_ENDED;
    if (exit_code && !GetExitCodeProcess(process.hProcess, exit_code)) *exit_code = static_cast<DWORD>(-1);
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return result;
}
