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

// A copy that will be run elevated, made as own_image_copy(target, CREATE_NEW), and held from
// then on: opened for reading with read-only sharing (so no process can write, rename or
// delete it while the handle is open, and it can still be started), refused when it is not a
// plain file, and checked byte for byte against the image, since between the writing handle's
// close and this open a writer that the folder lets in could have changed it. Where the
// private folder admits the user (an unelevated run), that writer may be any process of the
// user. ERROR_SUCCESS with the handle in *held (the caller closes it once the copy is running),
// or the error.
DWORD own_image_copy_held(const char* target, HANDLE* held);
