// The install behind the progress page, on its own thread: waits for the page's begin, runs the
// shared install steps with progress for the page, and ends with the page's terminal event.
#pragma once

#include <windows.h>

#include "state/install_state.h"

// Thread entry taking the install_state; 1 when it ends on cancel or failure, else 0.
DWORD WINAPI ui_install_worker(LPVOID state);

// The worker's flags, written by the page's commands (begin, cancel), the worker and the
// launch thread; read by the end step after the window closed.
struct ui_install_flags_t {
  install_state* state;
  volatile LONG begun;         // the page asked to begin
  volatile LONG cancelled;     // the page asked to cancel, or the window is closing
  volatile LONG succeeded;     // the product's app is present: closing the window may launch it
  volatile LONG exit_stage;    // atomic: 2 once post-install has started
  volatile LONG launch_outcome;  // atomic
};
extern ui_install_flags_t ui_install_flags;

// Clears every flag and remembers the state (before the worker starts).
void ui_install_flags_reset(install_state* state);
