// The consent screens: WebView2 first, the native window when WebView2 cannot be used.
// Both hand over to an elevated run of the program with the person's choices.
#pragma once

#include "product/exit_codes.h"
#include "state/install_state.h"

// consent_webview's answer when WebView2 cannot be used: the caller shows the native window.
constexpr int CONSENT_USE_NATIVE_WINDOW = -1;

// CONSENT_USE_NATIVE_WINDOW when the WebView2 screen cannot be used; else an exit code:
// EXIT_OK handed over, or the install or uninstall ran to its end in the same window;
// EXIT_ELEVATED_COPY_EXITED / EXIT_ELEVATED_COPY_SHOWED_NOTHING (the close event is sent);
// EXIT_FAILED the window was closed without a hand-off, or elevation failed.
int consent_webview(install_state* state, int dry_run);
// EXIT_OK or one of the elevated copy's codes as above; EXIT_FAILED when the window was closed
// without such an outcome (Cancel, the close box, an elevation error, or no window at all).
int consent_window(install_state* state, int dry_run);
