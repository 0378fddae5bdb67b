// Stands in for the browser a link is opened with: registered as the open command of http and
// https, it appends one line to "<its own path>.opened" and exits:
// "<parent pid>\t<parent's file name>\t<its own command line>", so a scenario sees who started it.
#include <windows.h>
#include <tlhelp32.h>

#include <cstdio>

namespace {

// The parent's id and file name, from a process snapshot.
void parent_of(DWORD pid, DWORD* parent, wchar_t* name, size_t size) {
  *parent = 0;
  lstrcpynW(name, L"?", static_cast<int>(size));
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snapshot == INVALID_HANDLE_VALUE) return;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == pid) *parent = entry.th32ParentProcessID;
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more && *parent; more = Process32NextW(snapshot, &entry))
    if (entry.th32ProcessID == *parent) lstrcpynW(name, entry.szExeFile, static_cast<int>(size));
  CloseHandle(snapshot);
}

}  // namespace

int wmain() {
  wchar_t record[MAX_PATH + 8];
  DWORD length = GetModuleFileNameW(nullptr, record, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return 1;
  lstrcatW(record, L".opened");
  DWORD parent = 0;
  wchar_t name[MAX_PATH];
  parent_of(GetCurrentProcessId(), &parent, name, MAX_PATH);
  wchar_t line[4096];
  _snwprintf(line, 4095, L"%lu\t%ls\t%ls\n", parent, name, GetCommandLineW());
  line[4095] = L'\0';
  char utf8[12288];
  int bytes = WideCharToMultiByte(CP_UTF8, 0, line, -1, utf8, sizeof utf8, nullptr, nullptr);
  HANDLE file = CreateFileW(record, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE || bytes <= 1) return 1;
  DWORD written = 0;
  WriteFile(file, utf8, static_cast<DWORD>(bytes - 1), &written, nullptr);
  CloseHandle(file);
  return 0;
}
