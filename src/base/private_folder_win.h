// The run's private working folder. Everything this program writes and later runs or loads
// (the downloaded package, the unpacked MSI and its log, the staged copies of itself, the page
// resources) lives here instead of the user's temp folder, where any process of the same user
// could create those names first, or swap a file between its writing and its use, and have
// its code run with this program's rights.
//
// Where: %SystemRoot%\SystemTemp where it exists (the temp folder Windows itself gives SYSTEM;
// only SYSTEM and Administrators enter it), else %SystemRoot%\Temp (other users may add
// entries there but can neither list, rename nor delete ours), else, for a run that is not
// elevated only, the user's temp folder; an elevated run has no private folder then.
// The Windows folder comes from the system, never from %SystemRoot% or %TEMP%, which the
// caller's environment sets. The name is random (system RNG), the creation fails when it is
// taken, and the descriptor (private_folder.h) grants SYSTEM and Administrators only. The
// folder is created and opened in one call (no folder found or renamed in under the name is
// ever taken for it) and held without delete sharing for the whole run, so it cannot be
// renamed away and replaced even where its parent would allow that (the user's temp folder).
//
// Files are created in it as new files (CREATE_NEW), never opened over an existing name.
#pragma once

#include <windows.h>

#include <cstddef>

// The folder with a trailing backslash (like temp_folder), made on the first call and logged;
// 0, or -1 with out emptied when no folder could be made.
int private_folder(char* out, size_t size);

// "<private folder><name>"; 0, or -1 with out emptied (no folder, or the path does not fit).
int private_file_path(const char* name, char* out, size_t size);

// A folder of its own inside the private folder, "<private folder><name>", made by this call
// (a name already there is refused, never reused): 0 with its path (no trailing backslash),
// or -1 with out emptied.
int private_subfolder(const char* name, char* out, size_t size);

// End of the run: lets go of the folder and deletes it with everything in it. A later
// private_folder() makes a new one.
void private_folder_remove();

// The descriptor the folder is created with (LocalFree it); null when it cannot be built.
PSECURITY_DESCRIPTOR private_folder_descriptor();

// Creates one folder with that descriptor and opens it in the same call (held without delete
// sharing, so it cannot be renamed away): ERROR_SUCCESS with *held, or the error;
// ERROR_ALREADY_EXISTS when the name is taken (a name is never reused: someone else made it).
DWORD private_folder_create_held(const wchar_t* path, HANDLE* held);

// The same, for a folder that need not stay held (one inside the held private folder).
DWORD private_folder_create(const wchar_t* path);
