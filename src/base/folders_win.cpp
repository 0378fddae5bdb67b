#include "base/folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include "base/wide_win.h"

namespace {

int fail(char* out, size_t size) {
  if (size) out[0] = '\0';
  return -1;
}

// A folder cut to fit would be another folder.
int whole_path(const wchar_t* wide, char* out, size_t size) {
  return wide_to_utf8(wide, out, size) == 0 ? 0 : fail(out, size);
}

}  // namespace

int module_path(char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  DWORD n = GetModuleFileNameW(nullptr, wide, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return fail(out, size);
  return whole_path(wide, out, size);
}

int temp_folder(char* out, size_t size) {
  wchar_t wide[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, wide);
  if (n == 0 || n > MAX_PATH) return fail(out, size);
  return whole_path(wide, out, size);
}

int program_files_dir(char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"ProgramW6432", wide, MAX_PATH);
  if (n >= 1 && n <= 259) return whole_path(wide, out, size);
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, wide)))
    return whole_path(wide, out, size);
  return fail(out, size);
}

int shell_folder(int csidl, char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, wide)) && wide[0])
    return whole_path(wide, out, size);
  return fail(out, size);
}

int path_exists(const char* path) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return 0;
  return GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}
