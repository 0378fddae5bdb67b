#include <windows.h>
#include <tlhelp32.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "base/processes_win.h"

int for_each_process_named(const wchar_t* exe_name, process_callback_fn callback, void* context, int* outcome) {
  kernel_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    log_warn("Process snapshot failed (gle=%lu)", GetLastError());
    return PROCESS_WALK_NO_SNAPSHOT;
  }
  int succeeded = 0, failed = 0;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
    if (lstrcmpiW(entry.szExeFile, exe_name) != 0) continue;
    if (callback(entry.th32ProcessID, context))
      ++succeeded;
    else
      ++failed;
  }
  if (outcome) {
    if (succeeded && failed)
      *outcome = PROCESS_WALK_MIXED;
    else if (failed)
      *outcome = PROCESS_WALK_ALL_FAILED;
    else
      *outcome = succeeded ? PROCESS_WALK_ALL_SUCCEEDED : PROCESS_WALK_NONE_RUNNING;
  }
  return 0;
}
