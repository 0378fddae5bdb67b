// Stands in for a system tool (msiexec.exe, schtasks.exe) planted beside the program, the way
// anything that can write to the Downloads folder could. Started, it leaves "<its own path>.ran"
// and exits 0 as the real tool would, so a scenario sees that the program ran it.
#include <windows.h>

int wmain() {
  wchar_t marker[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(nullptr, marker, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 0;
  lstrcatW(marker, L".ran");
  CloseHandle(CreateFileW(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return 0;
}
