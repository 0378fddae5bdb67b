// The uninstaller's UI flow: a worker that waits for the page's begin, runs the two phases on
// threads of their own while a time-based bar creeps, and the end step after the window closed.
#pragma once

#include <windows.h>

#include "base/handle_win.h"
#include "state/install_state.h"

// Shared by the page's command handler (begin, cancel), the worker and the end step. Single
// words written by one thread and polled by another.
struct ui_uninstall_flags_t {
  install_state* state;
  kernel_handle worker_thread;
  volatile LONG begun;
  volatile LONG cancelled;
  volatile LONG succeeded;
};
extern ui_uninstall_flags_t ui_uninstall_flags;

// Clears the flags, remembers the state and starts the worker; 0, or -1 when it cannot start.
int uninstall_ui_start(install_state* state);
// Thread entry: 1 when cancelled before the uninstall began or files remained, else 0.
DWORD WINAPI uninstall_ui_worker(LPVOID state);
// After the window has closed: cancel, wait for the worker (30 s at most), send the close event.
void uninstall_ui_end(install_state* state);
