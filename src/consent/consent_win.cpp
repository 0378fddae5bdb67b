// STAND-IN until the consent screens exist: the WebView2 screen reports itself unusable and
// the native window reports that the user did not go on, so the entry takes its
// cancelled path and sends the close event.
#include "base/log.h"
#include "consent/consent.h"

int consent_webview(install_state*, const char*) {
  log_info("consent_webview: WebView2 consent screen not in this build");
  return -1;
}

int consent_window(install_state*, const char* dry_run_suffix) {
  log_info("consent_window: native consent window not in this build; no elevated relaunch (suffix='%s')",
           dry_run_suffix ? dry_run_suffix : "");
  return 1;
}
