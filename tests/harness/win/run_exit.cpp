// Runs the command line in CORVANE_RUN_CMDLINE (a raw Windows command line, so quoting
// reaches the child untouched) and prints its full exit code: `wine` alone gives the
// shell only the low eight bits.
#include <windows.h>

#include <cstdio>

int wmain() {
  static wchar_t command[32768];
  if (!GetEnvironmentVariableW(L"CORVANE_RUN_CMDLINE", command, 32768)) {
    fprintf(stderr, "run_exit: CORVANE_RUN_CMDLINE is not set\n");
    return 2;
  }
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    printf("run_exit: start failed %lu\n", GetLastError());
    return 3;
  }
  WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  GetExitCodeProcess(pi.hProcess, &code);
  printf("exit_code=%lu\n", code);
  fflush(stdout);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 0;
}
