#include <windows.h>

#include <atomic>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/own_image_win.h"
#include "base/private_folder_win.h"
#include "product/product.h"
#include "uninstall/temp_uninstaller.h"

namespace {

std::atomic<int> g_staged{0};
SRWLOCK g_lock = SRWLOCK_INIT;
char g_target[MAX_PATH];
kernel_handle g_held;
bool g_released = false;

// From the held image into the private folder, as a new file: the copy is the program that
// started. Called with the lock held.
DWORD stage_locked() {
  if (!g_target[0]) return ERROR_PATH_NOT_FOUND;
  kernel_handle held;
  DWORD error = own_image_copy_held(g_target, held.receive());
  if (error == ERROR_SUCCESS) {
    if (!g_released) g_held.reset(held.release());
    log_info("Staged temp uninstaller: %s", g_target);
  } else {
    log_warn("Failed to stage temp uninstaller (err=%lu)", error);
  }
  return error;
}

DWORD WINAPI stage_temp_uninstaller(LPVOID) {
  AcquireSRWLockExclusive(&g_lock);
  stage_locked();
  ReleaseSRWLockExclusive(&g_lock);
  g_staged.store(1);
  return 0;
}

}  // namespace

void start_temp_uninstaller_staging() {
  private_file_path(UNINSTALLER_EXE, g_target, sizeof g_target);
  kernel_handle thread(CreateThread(nullptr, 0, stage_temp_uninstaller, nullptr, 0, nullptr));
  if (!thread) {
    log_warn("Failed to start staging the temp uninstaller (err=%lu)", GetLastError());
    g_staged.store(1);  // nothing will come; temp_uninstaller_ready tries once itself
  }
}

bool temp_uninstaller_staged() { return g_staged.load(); }

int temp_uninstaller_ready(char* out, size_t size) {
  AcquireSRWLockExclusive(&g_lock);
  if (!g_held && !g_released) stage_locked();
  int ready = g_held && text_copy(out, size, g_target);
  ReleaseSRWLockExclusive(&g_lock);
  if (ready) return 0;
  if (size) out[0] = '\0';
  return -1;
}

void temp_uninstaller_release() {
  AcquireSRWLockExclusive(&g_lock);
  g_held.reset();
  g_released = true;
  ReleaseSRWLockExclusive(&g_lock);
}
