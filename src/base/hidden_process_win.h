// Starting programs: the system's tools (msiexec, schtasks) and copies of this program. None is
// ever searched for (see program_start.h): a command line begins with a quoted full path, or
// with the bare name of a tool of the system folder.
#pragma once

#include <windows.h>

#include "base/process_result.h"

// Starts the program command_line (UTF-8) names, with no handle inheritance, the given creation
// flags and start-up information; 0 with *process filled (the caller closes both handles), or -1
// and GetLastError tells why (ERROR_INVALID_PARAMETER for a line that names no program safely).
int start_program(const char* command_line, DWORD creation_flags, STARTUPINFOW* startup, PROCESS_INFORMATION* process);

// start_program with no window.
int start_hidden(const char* command_line, PROCESS_INFORMATION* process);

// start_hidden, then waits up to timeout_ms (INFINITE allowed).
process_result run_hidden(const char* command_line, DWORD timeout_ms);
