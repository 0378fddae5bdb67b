#include <windows.h>

#include "base/log.h"
#include "base/processes_win.h"
#include "install/launch_focus.h"
#include "install/launch_result.h"
#include "product/product.h"

namespace {

constexpr int MAX_PIDS = 16;

struct app_processes {
  DWORD pids[MAX_PIDS];
  int count;
  HWND window;
};

bool collect_pid(DWORD pid, void* context) {
  auto* found = static_cast<app_processes*>(context);
  if (found->count < MAX_PIDS) found->pids[found->count++] = pid;
  return true;
}

// The main window is the first one a user could see: visible and not owned by another.
BOOL CALLBACK find_main_window(HWND window, LPARAM context) {
  auto* found = reinterpret_cast<app_processes*>(context);
  if (!IsWindowVisible(window) || GetWindow(window, GW_OWNER)) return TRUE;
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  for (int i = 0; i < found->count; ++i) {
    if (found->pids[i] == pid) {
      found->window = window;
      return FALSE;
    }
  }
  return TRUE;
}

// Windows only lets the foreground owner hand over the foreground, so the caller borrows
// the foreground thread's input state for the moment of the switch.
void bring_forward(HWND window) {
  ShowWindow(window, IsIconic(window) ? SW_RESTORE : SW_SHOW);
  HWND foreground = GetForegroundWindow();
  DWORD foreground_thread = foreground ? GetWindowThreadProcessId(foreground, nullptr) : 0;
  DWORD own_thread = GetCurrentThreadId();
  bool attached = foreground_thread && foreground_thread != own_thread &&
                  AttachThreadInput(own_thread, foreground_thread, TRUE);
  BringWindowToTop(window);
  SetForegroundWindow(window);
  if (attached) AttachThreadInput(own_thread, foreground_thread, FALSE);
  SetActiveWindow(window);
}

}  // namespace

bool focus_running_app(int* focus_rc) {
  app_processes found = {};
  if (for_each_process_named(L"" PRODUCT_APP_EXE, collect_pid, &found) == process_walk::no_snapshot) {
    *focus_rc = FOCUS_NO_SNAPSHOT;
    return false;
  }
  if (found.count == 0) {
    *focus_rc = FOCUS_NOT_RUNNING;
    return false;
  }
  EnumWindows(find_main_window, reinterpret_cast<LPARAM>(&found));
  if (!found.window) {
    log_info("Corvane.exe is starting up — skipping launch to avoid a second instance");
    return true;
  }
  bring_forward(found.window);
  log_info("Corvane.exe already running — focused existing window instead of launching a second instance");
  return true;
}
