// Holds a named mutex (as another instance of the program would) until a file appears
// or the time runs out. Usage: mutex_holder <name> <seconds> <ready file> [<stop file>]
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: mutex_holder name seconds ready_file [stop_file]\n");
    return 2;
  }
  HANDLE mutex = CreateMutexW(nullptr, TRUE, argv[1]);
  if (!mutex) return 1;
  FILE* ready = _wfopen(argv[3], L"wb");
  if (ready) fclose(ready);
  DWORD deadline = GetTickCount() + 1000u * static_cast<DWORD>(_wtoi(argv[2]));
  while (GetTickCount() < deadline) {
    if (argc > 4 && GetFileAttributesW(argv[4]) != INVALID_FILE_ATTRIBUTES) break;
    Sleep(100);
  }
  ReleaseMutex(mutex);
  CloseHandle(mutex);
  return 0;
}
