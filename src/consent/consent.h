// The consent screens: WebView2 first, the native window when WebView2 cannot be used.
// Both relaunch the program elevated with the user's choices.
#pragma once

#include "state/install_state.h"

// -1 when the WebView2 screen cannot be used; 0 handed over (or finished in-process);
// 10/11 elevated hand-off failed; other values: the user closed it or elevation failed.
int consent_webview(install_state* state, const char* dry_run_suffix);
int consent_window(install_state* state, const char* dry_run_suffix);
