// The consent screens: WebView2 first, the native window when WebView2 cannot be used.
// Both hand over to an elevated run of the program with the person's choices.
#pragma once

#include "state/install_state.h"

// -1 when the WebView2 screen cannot be used (show the native window); 0 handed over, or the
// install or uninstall ran to its end in the same window; 10 the elevated copy exited before
// showing its screen, 11 it showed none in time (the close event is sent); 1 the window was
// closed without a hand-off, or elevation failed.
int consent_webview(install_state* state, int dry_run);
// 0, 10 or 11 as above; 1 when the window was closed without such an outcome (Cancel, the close
// box, an elevation error, or no window at all).
int consent_window(install_state* state, int dry_run);
