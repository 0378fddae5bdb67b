// How the program names the programs it starts. It runs elevated from a folder any process of
// the user can write, and Windows looks for a program given by bare name in the starting
// program's own folder first; so nothing is ever left to that search. A command line begins
// either with a quoted full path (that file is started) or with a bare file name such as
// "msiexec.exe" or "schtasks.exe", which names the system's own tool: it is started from the
// system folder by full path, and the command line handed over names it that way, quoted.
#pragma once

#include <cstddef>

// application receives the file to start, command the line handed to it (the first token
// rewritten for a tool). 0, or -1 with both emptied when the first token is anything else (a
// relative or unquoted path, an unterminated quote) or a result does not fit (never cut).
int resolve_program(const char* command_line, const char* system_dir, char* application, size_t app_size,
                    char* command, size_t command_size);
