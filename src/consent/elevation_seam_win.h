// Test seam of the elevated launch (elevation.h): the call that shows the UAC prompt and starts
// the process. ShellExecuteExW in the product; the Windows-layer tests swap it for a prompt the
// person declines (1223), which Wine, where every process is already elevated, never shows.
#pragma once

#include <windows.h>
#include <shellapi.h>

extern BOOL(WINAPI* elevation_shell_execute)(SHELLEXECUTEINFOW* info);
