// Runs the command line in CORVANE_RUN_CMDLINE (a raw Windows command line, so quoting
// reaches the child untouched) and prints its full exit code: `wine` alone gives the
// shell only the low eight bits. CORVANE_RUN_SET_<NAME>=<value> sets <NAME> for the child:
// Wine fills some variables (ProgramW6432, ...) from the registry when it starts a program
// from Linux, so only a Windows parent can hand a child other values.
#include <windows.h>

#include <cstdio>
#include <cwchar>

static void apply_run_settings() {
  const wchar_t prefix[] = L"CORVANE_RUN_SET_";
  const size_t prefix_length = wcslen(prefix);
  wchar_t* block = GetEnvironmentStringsW();
  for (wchar_t* entry = block; *entry; entry += wcslen(entry) + 1) {
    if (wcsncmp(entry, prefix, prefix_length) != 0) continue;
    static wchar_t name[32768];
    wcsncpy(name, entry + prefix_length, 32767);
    wchar_t* equals = wcschr(name, L'=');
    if (!equals) continue;
    *equals = L'\0';
    SetEnvironmentVariableW(name, equals + 1);
  }
  FreeEnvironmentStringsW(block);
}

int wmain() {
  static wchar_t command[32768];
  if (!GetEnvironmentVariableW(L"CORVANE_RUN_CMDLINE", command, 32768)) {
    fprintf(stderr, "run_exit: CORVANE_RUN_CMDLINE is not set\n");
    return 2;
  }
  apply_run_settings();
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
