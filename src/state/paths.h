// Folders the program works in, as UTF-8.
#pragma once

#include <cstddef>

// The native Program Files folder (ProgramW6432, else the shell folder); 0, or -1 with out emptied.
int program_files_dir(char* out, size_t size);
// 1 when the running executable lies in (or below) the product's install folder.
int running_from_install_dir();
// Switches WOW64 file-system redirection off; returns the token to revert with, or 0.
void* fs_redirection_disable();
void fs_redirection_revert(void* token);
