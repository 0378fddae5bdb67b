#include "base/system_dlls_win.h"

#include <windows.h>
#include <delayimp.h>

#include <initializer_list>

#include "base/log.h"
#include "delay_loaded_dlls.h"

namespace {

FARPROC WINAPI load_from_system_folder(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary) return nullptr;
  return reinterpret_cast<FARPROC>(LoadLibraryExA(info->szDll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
}

// The helper raises an exception after this; the log at least says which DLL and why.
FARPROC WINAPI report_failure(unsigned notification, PDelayLoadInfo info) {
  if (notification == dliFailLoadLib)
    log_error("Could not load %s from the system folder (err=%lu)", info->szDll, info->dwLastError);
  else if (notification == dliFailGetProc && info->dlp.fImportByName)
    log_error("%s has no %s (err=%lu)", info->szDll, info->dlp.szProcName, info->dwLastError);
  return nullptr;
}

}  // namespace

void system_dlls_only() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  __pfnDliNotifyHook2 = load_from_system_folder;
  __pfnDliFailureHook2 = report_failure;
  // Kept loaded for the whole run; one that is missing fails at its first use, logged above.
  for (const wchar_t* dll : {CORVANE_DELAY_LOADED_DLLS}) LoadLibraryExW(dll, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
}
