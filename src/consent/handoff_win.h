// Both consent screens' hand-off to the elevated copy: the launch (the uninstaller's staged
// copy or the running executable), the wait for the copy's screen, and the report of a wait
// that ended without it.
#pragma once

#include <windows.h>

#include "consent/handoff_rules.h"
#include "state/install_state.h"

struct handoff_request {
  const char* screen;      // "consent_webview" or "consent_window": what the log lines start with
  consent_handoff target;  // temp_copy or in_place
  const char* switches;
  HWND owner;
  void (*launched)(void* context);  // once the copy runs, before the wait; may be null
  void* context;
};

struct handoff_outcome {
  DWORD error;  // 0 when the copy was started (then wait holds the outcome)
  elevated_ui_wait wait;
};

// The ready event exists before the launch; a declined or failed launch leaves the staged copy
// held for another try, a started one lets it go after the wait.
handoff_outcome elevated_handoff(const handoff_request& request);

// A wait that ended without the copy's screen: the log line (error when the copy exited, warning
// on the time-out) and, with a state, the close event after the attribution has been persisted.
void report_handoff_failure(install_state* state, int is_uninstall, const elevated_ui_wait& wait, int native_window);
