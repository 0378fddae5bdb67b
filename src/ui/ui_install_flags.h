// Words shared by the installer page's commands, the UI install worker and the end step.
#pragma once

#include <windows.h>

#include "state/install_state.h"

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
