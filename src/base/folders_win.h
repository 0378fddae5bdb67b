// The folders the program works in, as UTF-8: its own path, the temp folder, Program Files
// and the shell's known folders. Each returns 0, or -1 with out emptied when the folder
// cannot be had or does not fit in out (a cut path names another folder).
#pragma once

#include <cstddef>

// The full path of the running executable.
int module_path(char* out, size_t size);
// True when the running executable is the uninstaller (by its file name; an unknown path is the
// installer).
bool running_as_uninstaller();
// The temporary folder with its trailing backslash.
int temp_folder(char* out, size_t size);
// The native Program Files folder as the machine records it: ProgramW6432Dir, else
// ProgramFilesDir, of HKLM\Software\Microsoft\Windows\CurrentVersion in the 64-bit view. Never
// from the environment (ProgramW6432, ProgramFiles), which the caller sets: a folder the user
// can write would let the user replace the product's files, its service among them.
int program_files_dir(char* out, size_t size);
// The folder of the system's own tools (msiexec, schtasks) for this machine's architecture.
int system_tools_folder(char* out, size_t size);
// SHGetFolderPath of a CSIDL.
int shell_folder(int csidl, char* out, size_t size);

// True when the path names an existing file or folder.
bool path_exists(const char* path);
