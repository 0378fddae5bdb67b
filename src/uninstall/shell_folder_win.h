// Shell folders the probe and the removal work in, as UTF-8.
#pragma once

#include <cstddef>

// SHGetFolderPath of a CSIDL; 0, or -1 with out emptied when it cannot be resolved.
int shell_folder(int csidl, char* out, size_t size);

// "<folder>\<name>" into out; 0, or -1 when it does not fit (a cut path names something
// else, so it is never used).
int join_path(const char* folder, const char* name, char* out, size_t size);
