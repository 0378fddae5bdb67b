// Windows paths as text (pure): the folder of a path, a path below a folder, and whether a
// file lies in a folder. A path that does not fit its buffer is a failure, never cut:
// a cut path names another file.
#pragma once

#include <cstddef>

// The text after the last backslash or slash; the whole path when there is none.
const char* path_file_name(const char* path);

// "<folder>\<name>" into out; 0, or -1 when it does not fit.
int join_path(const char* folder, const char* name, char* out, size_t size);

// The folder part of path: everything before its last backslash. "" when the path has no
// backslash, only a leading one, or does not fit in out.
void parent_directory(const char* path, char* out, size_t size);

// True when the folder of file_path equals folder or lies below it (ASCII case-insensitive,
// trailing backslashes of folder ignored).
bool path_in_folder(const char* file_path, const char* folder);

// True when the file name (the text after the last backslash) contains "uninstall" in any case:
// the program is the uninstaller under any such name. Only the name counts: a folder the user
// named is no instruction to remove the product.
bool is_uninstaller_path(const char* module_path);
