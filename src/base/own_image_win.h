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

// Whether held names the very file mapped as this process's image: the NT path of the file
// behind the image's section (the module base's mapped file name) against the held file's
// final NT path. Held from the start of the run, the handle can still name another file: one
// put under the program's name after the loader mapped it and before the entry opened it (a
// process of the same user renaming the download while the elevation prompt is up).
// ERROR_SUCCESS; ERROR_FILE_INVALID when they differ, with both names in image and held
// (UTF-8, for the log); or the error of asking.
DWORD own_image_names_mapped_image(HANDLE held, char* image, char* held_name, size_t size);

// Copies the held image into a new file at target (UTF-8 path). disposition: CREATE_NEW for
// staged copies (never written over an existing name), CREATE_ALWAYS for the installed
// uninstaller that replaces the previous install's. Before the first copy the held file is
// checked against the mapped image (own_image_names_mapped_image); when it is another file no
// copy is ever made, with one log line saying why, and every call returns ERROR_FILE_INVALID.
// ERROR_SUCCESS, or the Windows error; a partial copy is removed.
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
