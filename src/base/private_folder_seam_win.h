// Test seam of the private folder (private_folder_win.h): where the system's temp folders
// are looked for. GetSystemWindowsDirectoryW in the product; a test points it at a folder
// that is not there to see what a run does when neither system temp folder can be used.
#pragma once

#include <windows.h>

extern UINT(WINAPI* private_folder_windows_directory)(wchar_t* buffer, UINT size);
