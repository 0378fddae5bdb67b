#include <windows.h>

#include <atomic>

#include "base/log.h"
#include "base/own_image_win.h"
#include "base/private_folder_win.h"
#include "base/product.h"
#include "uninstall/temp_uninstaller.h"

namespace {

std::atomic<int> g_staged{0};
char g_target[MAX_PATH];

// From the held image into the private folder: the copy is the program that started, and
// no other process can replace it before it is run.
DWORD WINAPI stage_temp_uninstaller(LPVOID) {
  DWORD error = g_target[0] ? own_image_copy(g_target, CREATE_NEW) : ERROR_PATH_NOT_FOUND;
  if (error == ERROR_SUCCESS)
    log_info("Staged temp uninstaller: %s", g_target);
  else
    log_warn("Failed to stage temp uninstaller (err=%lu)", error);
  g_staged.store(1);
  return 0;
}

}  // namespace

void start_temp_uninstaller_staging() {
  private_file_path(UNINSTALLER_EXE, g_target, sizeof g_target);
  HANDLE thread = CreateThread(nullptr, 0, stage_temp_uninstaller, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

int temp_uninstaller_staged() { return g_staged.load(); }
