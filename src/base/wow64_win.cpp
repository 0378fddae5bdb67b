#include "base/wow64_win.h"

#include <windows.h>

namespace {
typedef BOOL(WINAPI* wow64_disable_fn)(PVOID*);
typedef BOOL(WINAPI* wow64_revert_fn)(PVOID);

FARPROC kernel32_export(const char* name) { return GetProcAddress(GetModuleHandleW(L"kernel32.dll"), name); }

thread_local int t_scopes_open = 0;
}  // namespace

bool fs_redirection_is_off() { return t_scopes_open > 0; }

fs_redirection_off::fs_redirection_off() : token_(fs_redirection_disable()) { ++t_scopes_open; }

fs_redirection_off::~fs_redirection_off() {
  --t_scopes_open;
  fs_redirection_revert(token_);
}

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
