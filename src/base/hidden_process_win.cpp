#include "base/hidden_process_win.h"

#include "base/folders_win.h"
#include "base/handle_win.h"
#include "base/program_start.h"
#include "base/wide_win.h"

namespace {
constexpr size_t COMMAND_CHARS = 1024 + MAX_PATH;  // the longest line a caller builds, its tool named in full
}  // namespace

int start_program(const char* command_line, DWORD creation_flags, STARTUPINFOW* startup, PROCESS_INFORMATION* process) {
  char system[MAX_PATH] = "";
  system_tools_folder(system, sizeof system);  // empty when unknown: then no tool can be named
  char application[MAX_PATH], command[COMMAND_CHARS];
  wchar_t wide_application[MAX_PATH];
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  wchar_t wide_command[COMMAND_CHARS];
  if (resolve_program(command_line, system, application, sizeof application, command, sizeof command) != 0 ||
      utf8_to_wide(application, wide_application, MAX_PATH) != 0 ||
      utf8_to_wide(command, wide_command, COMMAND_CHARS) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  *process = {};
  return CreateProcessW(wide_application, wide_command, nullptr, nullptr, FALSE, creation_flags, nullptr, nullptr,
                        startup, process)
             ? 0
             : -1;
}

int start_hidden(const char* command_line, PROCESS_INFORMATION* process) {
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_HIDE;
  return start_program(command_line, CREATE_NO_WINDOW, &startup, process);
}

process_result run_hidden(const char* command_line, DWORD timeout_ms) {
  owned_process process;
  if (start_hidden(command_line, process.receive()) != 0) return process_not_started(GetLastError());
  DWORD waited = WaitForSingleObject(process.process(), timeout_ms);
  if (waited != WAIT_OBJECT_0) return {true, 0, waited == WAIT_TIMEOUT ? ERROR_TIMEOUT : GetLastError()};
  DWORD exit_code = static_cast<DWORD>(-1);
  if (!GetExitCodeProcess(process.process(), &exit_code)) exit_code = static_cast<DWORD>(-1);
  return {true, exit_code, 0};
}
