// The install behind the progress page, on its own thread: settles the record, waits for the
// page's begin, runs the shared install steps with progress for the page, and ends with the
// page's terminal event.
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
  // Fills the record (its probes, the session data, the existing install), which would hold the
  // window back: the worker's first step once the window shows. Null when the record is settled.
  void (*settle)(install_state*);
  kernel_handle may_settle;      // set once the window shows, or when it never will
  kernel_handle settled;         // set once settle has run; null when there was none to run
  kernel_handle state_answer;    // the thread answering a state request that came before it
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

// Hands the record's settling to the worker about to start, which begins it once let
// (ui_install_let_settle): until it has run, the page's reads of the record wait
// (ui_install_record_settled). Without events to wait on it runs here.
void ui_install_settle_on_worker(void (*settle)(install_state*));
// The window shows (or never will): the worker may settle the record now. Any thread.
void ui_install_let_settle();
// Runs the settling still owed (on the worker, or here when no worker started) and marks the
// record settled.
void ui_install_settle_now(install_state* state);
// Whether the record is settled, waiting for it at most wait_ms.
bool ui_install_record_settled(DWORD wait_ms);
