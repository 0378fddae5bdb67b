#include "consent/handoff_win.h"

#include "base/handle_win.h"
#include "base/log.h"
#include "consent/elevation_win.h"
#include "state/attribution.h"
#include "telemetry/tracking.h"
#include "uninstall/temp_uninstaller.h"

namespace {

DWORD launch(const handoff_request& request, HANDLE* process) {
  if (request.target == consent_handoff::temp_copy) {
    char path[MAX_PATH];
    if (temp_copy_ready(path, sizeof path) == 0) {
      log_info("%s: launching temp copy: %s", request.screen, path);
      return elevate_temp_copy(path, request.switches, request.owner, process);
    }
    log_warn("%s: temp copy unavailable, falling back to in-place launch", request.screen);
  }
  return elevate_self(request.switches, request.owner, process);
}

}  // namespace

handoff_outcome elevated_handoff(const handoff_request& request) {
  handoff_outcome outcome = {};
  kernel_handle ready(create_ready_event());
  kernel_handle process;
  outcome.error = launch(request, process.receive());
  if (outcome.error == ERROR_SUCCESS) {
    if (request.launched) request.launched(request.context);
    outcome.wait = wait_for_elevated_ui(ready.get(), process.get());
    process.reset();
    // The copy runs (or is gone): nothing is left to swap under it.
    temp_uninstaller_release();
  }
  return outcome;
}

void report_handoff_failure(install_state* state, int is_uninstall, const elevated_ui_wait& wait, int native_window) {
  char message[128];
  handoff_failure_message(wait, native_window, message, sizeof message);
  const char* screen = native_window ? "consent_window" : "consent_webview";
  if (wait.outcome == elevated_ui_outcome::exited)
    log_error("%s: %s", screen, message);
  else if (native_window)
    log_warn("%s: %s (%u ms)", screen, message, static_cast<unsigned>(ELEVATED_UI_WAIT_MS));
  else
    log_warn("%s: %s", screen, message);
  if (!state) return;
  commit_attribution_to_registry(state);
  tracking_send(state, is_uninstall ? EVENT_UNINSTALLER_CLOSE : EVENT_INSTALLER_CLOSE, message);
}
