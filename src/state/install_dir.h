// Path rules around the product's install folder (pure).
#pragma once

#include <cstddef>

// 1 when the folder of file_path equals folder or lies below it (ASCII case-insensitive,
// trailing backslashes of folder ignored).
int path_in_folder(const char* file_path, const char* folder);

// "-dev.exe" names give "dev-", "-stage.exe" names give "stage-", others "" (file name only).
const char* host_prefix_from_exe_name(const char* exe_path);
