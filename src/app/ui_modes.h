// The installer's and the uninstaller's screens after the elevated relaunch: resources out,
// WebView2 checked, the worker started, the window run, the end step after it.
//
// The screen's start (loader out, the page bundle opened, the browser asked for) comes first
// of all, so that the browser starts while the run gathers its state:
// begin_*_ui before that work, run_*_ui after it (it begins itself when not begun).
#pragma once

#include "state/install_state.h"

void begin_install_ui();
void begin_uninstall_ui();

// 0 once the window has closed (whatever the install's outcome); 1 when the pages or WebView2
// are missing, after the message boxes and the close event: there is no silent fallback.
// settle fills the record (it may wait for the network): the worker's first step, so that the
// window need not wait for it; the page's reads of the record wait instead.
int run_install_ui(install_state* state, void (*settle)(install_state*));
// 0 once the window has closed; -1 when the screen cannot be shown (the caller uninstalls
// silently instead).
int run_uninstall_ui(install_state* state);
