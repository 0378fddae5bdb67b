#include <windows.h>
#include <shlobj.h>

#include "app/bounded_text.h"
#include "app/product.h"
#include "app/wide_win.h"
#include "state/install_dir.h"
#include "state/paths.h"

int program_files_dir(char* out, size_t size) {
  wchar_t wide[MAX_PATH];
  DWORD n = GetEnvironmentVariableW(L"ProgramW6432", wide, MAX_PATH);
  if (n >= 1 && n <= 259) return wide_to_utf8(wide, out, size);
  if (SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILES, nullptr, SHGFP_TYPE_CURRENT, wide)))
    return wide_to_utf8(wide, out, size);
  if (size) out[0] = '\0';
  return -1;
}

int running_from_install_dir() {
  char program_files[MAX_PATH], install[MAX_PATH], exe[MAX_PATH];
  if (program_files_dir(program_files, sizeof program_files) != 0) return 0;
  text_format(install, sizeof install, "%s\\%s", program_files, PRODUCT_INSTALL_SUBDIR);
  if (module_path(exe, sizeof exe) != 0) return 0;
  return path_in_folder(exe, install);
}

namespace {
typedef BOOL(WINAPI* wow64_disable_fn)(PVOID*);
typedef BOOL(WINAPI* wow64_revert_fn)(PVOID);

FARPROC kernel32_export(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }
}  // namespace

void* fs_redirection_disable() {
  auto disable = reinterpret_cast<wow64_disable_fn>(reinterpret_cast<void*>(kernel32_export("Wow64DisableWow64FsRedirection")));
  PVOID token = nullptr;
  if (!disable || !disable(&token)) return nullptr;
  // A successful disable may hand back a null token; keep a non-null marker so revert still runs.
  return token ? token : reinterpret_cast<void*>(1);
}

void fs_redirection_revert(void* token) {
  if (!token) return;
  auto revert = reinterpret_cast<wow64_revert_fn>(reinterpret_cast<void*>(kernel32_export("Wow64RevertWow64FsRedirection")));
  if (revert) revert(token == reinterpret_cast<void*>(1) ? nullptr : token);
}
