// Stands in for the unelevated parent that waits for the program's screen: creates the named
// ready event, writes "armed" to the output file, waits for the event and writes the outcome.
// Given a program (and its arguments), it starts it itself, reports the milliseconds from
// starting it to the event, and ends it: what the start-up benchmark measures.
// Usage: ready_waiter <event name> <timeout ms> <out file> [program [arguments...]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void write_out(const wchar_t* path, const char* text) {
  FILE* out = _wfopen(path, L"wb");
  if (!out) return;
  fputs(text, out);
  fclose(out);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 4) {
    fprintf(stderr, "usage: ready_waiter event timeout_ms out_file [program [args...]]\n");
    return 2;
  }
  HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, argv[1]);
  if (!ready) return 2;
  DWORD timeout = static_cast<DWORD>(_wtoi(argv[2]));
  write_out(argv[3], "armed\n");
  PROCESS_INFORMATION child = {};
  HANDLE waits[2] = {ready, nullptr};
  LARGE_INTEGER frequency, started, signalled;
  QueryPerformanceFrequency(&frequency);
  QueryPerformanceCounter(&started);
  if (argc > 4) {
    std::wstring command;
    for (int i = 4; i < argc; i++) command += std::wstring(i > 4 ? L" \"" : L"\"") + argv[i] + L"\"";
    STARTUPINFOW si = {};
    si.cb = sizeof si;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &child)) {
      write_out(argv[3], "not started\n");
      return 1;
    }
    waits[1] = child.hProcess;
  }
  DWORD result = WaitForMultipleObjects(waits[1] ? 2 : 1, waits, FALSE, timeout);
  QueryPerformanceCounter(&signalled);
  char text[64];
  if (result == WAIT_OBJECT_0) {
    snprintf(text, sizeof text, "signaled ms=%.1f\n",
             1000.0 * static_cast<double>(signalled.QuadPart - started.QuadPart) / static_cast<double>(frequency.QuadPart));
  } else {
    snprintf(text, sizeof text, "%s\n", result == WAIT_OBJECT_0 + 1 ? "exited" : "timeout");
  }
  write_out(argv[3], text);
  if (child.hProcess) {
    TerminateProcess(child.hProcess, 0);
    WaitForSingleObject(child.hProcess, 10000);
    CloseHandle(child.hProcess);
    CloseHandle(child.hThread);
  }
  return result == WAIT_OBJECT_0 ? 0 : 1;
}
