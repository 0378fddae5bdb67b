#include <windows.h>
#include <tlhelp32.h>

#include "base/handle_win.h"
#include "base/log.h"
#include "base/processes_win.h"

process_walk for_each_process_named(const wchar_t* exe_name, process_callback_fn callback, void* context) {
  kernel_handle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    log_warn("Process snapshot failed (gle=%lu)", GetLastError());
    return process_walk::no_snapshot;
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
  if (succeeded && failed) return process_walk::mixed;
  if (failed) return process_walk::all_failed;
  return succeeded ? process_walk::all_succeeded : process_walk::none_running;
}
