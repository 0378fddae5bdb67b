// The consent screens: WebView2 first, the native window when WebView2 cannot be used.
// Both hand over to an elevated run of the program with the person's choices.
#pragma once

#include "product/exit_codes.h"
#include "state/install_state.h"

// How a consent screen ended. Where that ends the run, the value is its exit code (consent_exit_code).
enum class consent_result {
  done = EXIT_OK,  // handed over, or the install or uninstall ran to its end in the same window
  failed = EXIT_FAILED,
  copy_exited = EXIT_ELEVATED_COPY_EXITED,                  // the close event is sent
  copy_showed_nothing = EXIT_ELEVATED_COPY_SHOWED_NOTHING,  // the close event is sent
  use_native_window,  // WebView2 cannot be used: the caller shows the native window
  goes_on_here,       // the WebView2 screen's own: the install or uninstall goes on in its window
};
inline int consent_exit_code(consent_result result) { return static_cast<int>(result); }

// use_native_window when the WebView2 screen cannot be used; failed when the window was closed
// without a hand-off, or elevation failed.
consent_result consent_webview(install_state* state, int dry_run);
// done or one of the elevated copy's results; failed when the window was closed without such
// an outcome (Cancel, the close box, an elevation error, or no window at all).
consent_result consent_window(install_state* state, int dry_run);
