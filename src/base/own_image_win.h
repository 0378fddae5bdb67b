// The program's own executable, held from the start of the run with read-only sharing: while
// the program runs no process can rename it, delete it or write to it. Every copy the program
// makes of itself (the installed uninstaller, the staged uninstallers, an elevated copy) is
// read from this handle, so it is the file that started and not whatever a process of the
// same user has put under its name since (the file may sit in a folder that user can write).
#pragma once

#include <windows.h>

// Opens the running executable for reading, sharing only reading, and keeps the handle for
// the life of the process; later calls return the same handle. The entry calls it first.
// INVALID_HANDLE_VALUE when it cannot be opened.
HANDLE own_image_hold();

// Copies the held image into a new file at target (UTF-8 path). disposition: CREATE_NEW for
// staged copies (never written over an existing name), CREATE_ALWAYS for the installed
// uninstaller that replaces the previous install's. ERROR_SUCCESS, or the Windows error; a
// partial copy is removed.
DWORD own_image_copy(const char* target, DWORD disposition);
