#include "product/close_product_win.h"

#include "base/handle_win.h"
#include "base/log.h"
#include "base/path_text.h"
#include "base/processes_win.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "product/product_places_win.h"

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

kernel_handle open_for_closing(DWORD process_id) {
  return kernel_handle(
      OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, process_id));
}

// Asks, waits, then ends the process through the handle it was opened with.
bool close_opened_process(HANDLE process, DWORD process_id, DWORD timeout) {
  window_search search = {process_id, 0};
  EnumWindows(post_close_to_owned, reinterpret_cast<LPARAM>(&search));
  if (search.posted > 0 && WaitForSingleObject(process, timeout) == WAIT_OBJECT_0) return true;
  BOOL terminated = TerminateProcess(process, 1);
  if (!terminated) log_warn("Could not terminate process %lu (err=%lu)", process_id, GetLastError());
  return terminated ? 1 : 0;
}

struct product_app {
  wchar_t image[MAX_PATH];  // the installed Corvane.exe
  uint32_t timeout_ms;
};

// Only the product's own file is closed: a program of the user's that happens to be called
// Corvane.exe is none of the uninstall's business. The image is read from the same handle
// that closes the process, so a process id reused in between cannot be mistaken for it.
bool close_if_product(DWORD process_id, void* context) {
  const auto* app = static_cast<const product_app*>(context);
  kernel_handle process = open_for_closing(process_id);
  if (!process) return false;
  wchar_t image[MAX_PATH];
  DWORD length = MAX_PATH;
  if (!QueryFullProcessImageNameW(process.get(), 0, image, &length) ||
      CompareStringOrdinal(image, -1, app->image, -1, TRUE) != CSTR_EQUAL) {
    char text[MAX_PATH * 3] = "(unreadable)";
    if (length && length < MAX_PATH) wide_to_utf8(image, text, sizeof text);
    log_info("Left running: %s (pid %lu) is not the installed product", text, process_id);
    return true;
  }
  return close_opened_process(process.get(), process_id, app->timeout_ms);
}

}  // namespace

bool close_process_gracefully(DWORD process_id, void* timeout_ms) {
  kernel_handle process = open_for_closing(process_id);
  if (!process) return false;
  return close_opened_process(process.get(), process_id,
                              timeout_ms ? *static_cast<const uint32_t*>(timeout_ms) : APP_CLOSE_TIMEOUT_MS);
}

void close_product_app() {
  char folder[MAX_PATH], image[MAX_PATH];
  wchar_t name[MAX_PATH];
  product_app app = {};
  app.timeout_ms = APP_CLOSE_TIMEOUT_MS;
  if (product_install_dir(folder, sizeof folder) != 0 || join_path(folder, PRODUCT_APP_EXE, image, sizeof image) != 0 ||
      utf8_to_wide(image, app.image, MAX_PATH) != 0 || utf8_to_wide(PRODUCT_APP_EXE, name, MAX_PATH) != 0) {
    log_warn("Install folder unknown — no running %s is closed", PRODUCT_APP_EXE);
    return;
  }
  for_each_process_named(name, close_if_product, &app);
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
