// A DLL planted beside the program under the name of a system DLL that is not a KnownDLL
// (winhttp.dll, bcrypt.dll, ...). Loaded, it leaves "<its own path>.loaded"; it exports nothing,
// so a program that resolved its imports from it would not get far either.
#include <windows.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t marker[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(instance, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  lstrcatW(marker, L".loaded");
  CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return TRUE;
}
