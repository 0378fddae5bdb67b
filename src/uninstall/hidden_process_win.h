// Running a system tool (msiexec, schtasks) with no window.
#pragma once

#include <windows.h>

enum hidden_run_result { HIDDEN_RUN_ENDED = 0, HIDDEN_RUN_TIMED_OUT = 1, HIDDEN_RUN_NOT_STARTED = -1 };

// Starts command_line (UTF-8, no application name, no handle inheritance) hidden and waits
// up to timeout_ms (INFINITE allowed). After HIDDEN_RUN_ENDED *exit_code holds the exit
// code; after HIDDEN_RUN_NOT_STARTED GetLastError tells why.
hidden_run_result run_hidden(const char* command_line, DWORD timeout_ms, DWORD* exit_code);
