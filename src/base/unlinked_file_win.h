// Opening a file for writing, by an elevated process, in a folder that other processes of
// the user can write (the user's temp folder, where the logs live), so that a link planted
// under the name cannot send the writes into another file: the name's own reparse point is
// not followed (FILE_FLAG_OPEN_REPARSE_POINT), and the handle is then checked to be a plain
// file with a single name (a hard link has more) that lies in the folder the path names
// (a link in the path, or one Wine follows despite the flag, leads elsewhere).
#pragma once

#include <windows.h>

// The handle, or INVALID_HANDLE_VALUE with the last error set: ERROR_CANT_ACCESS_FILE when the
// name is a link of any kind; the file is then left as it was (a name opened with OPEN_ALWAYS
// that did not exist is a plain new file and passes).
HANDLE open_unlinked_file(const wchar_t* path, DWORD access, DWORD share, DWORD disposition);
