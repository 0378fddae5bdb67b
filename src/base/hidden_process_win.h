// Running a system tool (msiexec, schtasks) with no window.
#pragma once

#include <windows.h>

// Starts command_line (UTF-8, no application name, no handle inheritance) hidden; 0 with
// *process filled (the caller closes both handles), or -1 and GetLastError tells why.
int start_hidden(const char* command_line, PROCESS_INFORMATION* process);

enum hidden_run_result { HIDDEN_RUN_ENDED = 0, HIDDEN_RUN_TIMED_OUT = 1, HIDDEN_RUN_NOT_STARTED = -1 };

// start_hidden, then waits up to timeout_ms (INFINITE allowed). After HIDDEN_RUN_ENDED *exit_code holds the exit
// code; after HIDDEN_RUN_NOT_STARTED GetLastError tells why.
hidden_run_result run_hidden(const char* command_line, DWORD timeout_ms, DWORD* exit_code);
