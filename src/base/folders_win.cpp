#include "base/folders_win.h"

#include <windows.h>
#include <shlobj.h>

#include <initializer_list>

#include "base/path_text.h"
#include "base/reg_view_win.h"
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

bool running_as_uninstaller() {
  char path[MAX_PATH];
  return module_path(path, sizeof path) == 0 && is_uninstaller_path(path);
}

int temp_folder(char* out, size_t size) {
  wchar_t wide[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, wide);
  if (n == 0 || n > MAX_PATH) return fail(out, size);
  return whole_path(wide, out, size);
}

int program_files_dir(char* out, size_t size) {
  // Plain REG_SZ only: an expandable value would be expanded from the caller's environment.
  for (const char* name : {"ProgramW6432Dir", "ProgramFilesDir"})
    if (reg_read_text(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion", REG_VIEW_64, name, out,
                      size) == ERROR_SUCCESS &&
        out[0])
      return 0;
  return fail(out, size);
}

// The product's packages and tasks are the machine's own (x64 or ARM64), so its tools are the
// native ones. A 32-bit process under WOW64 would get the 32-bit copies from SysWOW64 through
// System32; it names the native folder by its Sysnative alias instead, which needs no
// redirection switched off around the start (the child runs with its own view either way).
int system_tools_folder(char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  BOOL wow64 = FALSE;
  if (IsWow64Process(GetCurrentProcess(), &wow64) && wow64) {
    UINT n = GetSystemWindowsDirectoryW(wide, MAX_PATH - 10);
    if (n == 0 || n >= MAX_PATH - 10) return fail(out, size);
    lstrcatW(wide, L"\\Sysnative");
    return whole_path(wide, out, size);
  }
  UINT n = GetSystemDirectoryW(wide, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return fail(out, size);
  return whole_path(wide, out, size);
}

int shell_folder(int csidl, char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  if (SUCCEEDED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, wide)) && wide[0])
    return whole_path(wide, out, size);
  return fail(out, size);
}

bool path_exists(const char* path) {
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0 || !wide[0]) return false;
  return GetFileAttributesW(wide) != INVALID_FILE_ATTRIBUTES;
}
