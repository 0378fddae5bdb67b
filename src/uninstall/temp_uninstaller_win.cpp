#include <windows.h>

#include <atomic>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/product.h"
#include "base/wide_win.h"
#include "uninstall/temp_uninstaller.h"

namespace {

std::atomic<int> g_staged{0};
char g_target[MAX_PATH];

DWORD WINAPI stage_temp_uninstaller(LPVOID) {
  wchar_t source[MAX_PATH], target[MAX_PATH];
  if (GetModuleFileNameW(nullptr, source, MAX_PATH) && utf8_to_wide(g_target, target, MAX_PATH) == 0 &&
      CopyFileW(source, target, FALSE)) {
    log_info("Staged temp uninstaller: %s", g_target);
  } else {
    log_warn("Failed to stage temp uninstaller (err=%lu)", GetLastError());
  }
  g_staged.store(1);
  return 0;
}

}  // namespace

void start_temp_uninstaller_staging() {
  char temp[MAX_PATH + 1];
  temp_folder(temp, sizeof temp);
  text_format(g_target, sizeof g_target, "%s%s", temp, UNINSTALLER_EXE);
  HANDLE thread = CreateThread(nullptr, 0, stage_temp_uninstaller, nullptr, 0, nullptr);
  if (thread) CloseHandle(thread);
}

int temp_uninstaller_staged() { return g_staged.load(); }
