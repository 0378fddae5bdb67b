// Files and folders an elevated process writes or deletes in places other processes of the
// user can write (the user's temp folder and desktop, the product's data folders), reached so
// that a link planted under a name cannot send the operation somewhere else: the name's own
// reparse point is not followed (FILE_FLAG_OPEN_REPARSE_POINT), and the handle is then checked
// to lie where the name says (a link in the path, or one Wine follows despite the flag, leads
// elsewhere).
#pragma once

#include <windows.h>

// Opens a file for writing: the handle, or INVALID_HANDLE_VALUE with the last error set;
// ERROR_CANT_ACCESS_FILE when the name is a link of any kind or a file with more than one name
// (a hard link), which is then left as it was. A name opened with OPEN_ALWAYS that did not
// exist is a plain new file and passes.
HANDLE open_unlinked_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition);

// The path a handle really reaches, as Windows normalises it ("\\?\C:\..."); true, or false.
bool handle_final_path(HANDLE handle, wchar_t* out, DWORD count);

// True when the handle is the entry `name` of the folder whose final path is folder_final.
bool handle_is_entry_of(HANDLE handle, const wchar_t* folder_final, const wchar_t* name);

// True when the handle is the entry that path names in the folder path names (the folder itself
// is taken as the path reaches it).
bool handle_is_at_path(HANDLE handle, const wchar_t* path);
