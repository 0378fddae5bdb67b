#include <windows.h>

#include "app/single_instance.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "product/product.h"

namespace {
kernel_handle g_mutex;
}

bool single_instance_acquire(const char* mutex_name) {
  kernel_handle mutex(CreateMutexA(nullptr, FALSE, mutex_name));
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) return false;
  g_mutex.reset(mutex.release());
  return true;
}

void single_instance_release() {
  if (!g_mutex) return;
  ReleaseMutex(g_mutex.get());
  g_mutex.reset();
}

void focus_existing_window() {
  HWND window = FindWindowA(UI_WINDOW_CLASS, nullptr);
  if (!window) return;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(window);
}

int refuse_silent_run_without_lock(const char* program) {
  log_warn("Another %s instance holds the lock (or it could not be created) — silent run exits with %d "
           "(ERROR_INSTALL_ALREADY_RUNNING)",
           program, EXIT_INSTALL_ALREADY_RUNNING);
  return EXIT_INSTALL_ALREADY_RUNNING;
}
