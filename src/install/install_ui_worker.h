// The install behind the progress page, on its own thread: waits for the page's begin, runs the
// shared install steps with progress for the page, and ends with the page's terminal event.
#pragma once

#include <windows.h>

#include "base/handle_win.h"
#include "state/install_state.h"

// Thread entry taking the install_state; 1 when it ends on cancel or failure, else 0.
DWORD WINAPI ui_install_worker(LPVOID state);

// The worker's flags, written by the page's commands (begin, cancel, launch), the worker and
// the launch thread; read by the end step after the window closed. Numbers of exit_stage and
// launch_outcome are those of ui/commands/install_end_rules.h.
struct ui_install_flags_t {
  install_state* state;          // cleared when the install screen has ended
  kernel_handle worker_thread;
  volatile LONG begun;           // the page asked to begin
  volatile LONG cancelled;       // the page asked to cancel, or the window is closing
  volatile LONG succeeded;       // the product's app is present: closing the window may launch it
  volatile LONG launch_requested;
  volatile LONG exit_stage;      // atomic: 1 on begin, 2 once post-install has started, 3 when done
  volatile LONG launch_outcome;  // atomic
  volatile LONG launch_error_family;
  volatile LONG launch_abandoned;  // the end stopped waiting: a late launch result is dropped
  kernel_handle launch_thread;
};
extern ui_install_flags_t ui_install_flags;

// Clears every flag and handle and remembers the state (before the worker starts).
void ui_install_flags_reset(install_state* state);
