// Holds a file open with no sharing (as a running program or a scanner would) until a stop
// file appears or the time runs out. Usage: file_holder <path> <seconds> <ready file> <stop file>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: file_holder path seconds ready_file stop_file\n");
    return 2;
  }
  HANDLE held = CreateFileW(argv[1], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (held == INVALID_HANDLE_VALUE) return 1;
  FILE* ready = _wfopen(argv[3], L"wb");
  if (ready) fclose(ready);
  DWORD deadline = GetTickCount() + 1000u * static_cast<DWORD>(_wtoi(argv[2]));
  while (GetTickCount() < deadline && GetFileAttributesW(argv[4]) == INVALID_FILE_ATTRIBUTES) Sleep(100);
  CloseHandle(held);
  return 0;
}
