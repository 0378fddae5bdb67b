// The installer's and the uninstaller's screens after the elevated relaunch: resources out,
// WebView2 checked, the worker started, the window run, the end step after it.
#pragma once

#include "state/install_state.h"

// 0 once the window has closed (whatever the install's outcome); 1 when the pages or WebView2
// are missing, after the message boxes and the close event: there is no silent fallback.
int run_install_ui(install_state* state);
// 0 once the window has closed; -1 when the screen cannot be shown (the caller uninstalls
// silently instead).
int run_uninstall_ui(install_state* state);
