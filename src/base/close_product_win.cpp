#include "base/close_product_win.h"

#include "base/log.h"
#include "base/processes_win.h"
#include "base/product.h"
#include "base/wide_win.h"

namespace {

constexpr uint32_t APP_CLOSE_TIMEOUT_MS = 10000;

struct window_search {
  DWORD process_id;
  int posted;
};

BOOL CALLBACK post_close_to_owned(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<window_search*>(context);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search->process_id) {
    // Posted, not sent: a hung window must not hang the uninstall.
    PostMessageW(window, WM_CLOSE, 0, 0);
    ++search->posted;
  }
  return TRUE;
}

}  // namespace

int close_process_gracefully(DWORD process_id, void* timeout_ms) {
  HANDLE process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id);
  if (!process) return 0;
  window_search search = {process_id, 0};
  EnumWindows(post_close_to_owned, reinterpret_cast<LPARAM>(&search));
  DWORD timeout = timeout_ms ? *static_cast<const uint32_t*>(timeout_ms) : APP_CLOSE_TIMEOUT_MS;
  if (search.posted > 0 && WaitForSingleObject(process, timeout) == WAIT_OBJECT_0) {
    CloseHandle(process);
    return 1;
  }
  BOOL terminated = TerminateProcess(process, 1);
  if (!terminated) log_warn("Could not terminate process %lu (err=%lu)", process_id, GetLastError());
  CloseHandle(process);
  return terminated ? 1 : 0;
}

void close_product_app() {
  wchar_t name[MAX_PATH];
  if (utf8_to_wide(PRODUCT_APP_EXE, name, MAX_PATH) != 0) return;
  uint32_t timeout = APP_CLOSE_TIMEOUT_MS;
  int outcome = 0;
  for_each_process_named(name, close_process_gracefully, &timeout, &outcome);
}

int close_running_product() {
  log_info("Phase 1: Closing Corvane processes and services");
  close_product_app();
  log_info("Stopped Corvane UI");
  for (size_t i = 0; i < PRODUCT_SERVICES.count; ++i) {
    stop_service(PRODUCT_SERVICES.names[i]);
    delete_service(PRODUCT_SERVICES.names[i]);
  }
  // Lets the service manager and the closed processes release the files msiexec removes next.
  Sleep(500);
  return 0;
}

DWORD WINAPI close_running_product_thread(LPVOID) { return static_cast<DWORD>(close_running_product()); }
