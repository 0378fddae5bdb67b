// How the consent screens hand over to the elevated run, and how they report a hand-off that
// did not reach its screen (pure).
#pragma once

#include <cstddef>
#include <cstdint>

enum consent_handoff {
  HANDOFF_IN_PROCESS,  // already elevated: the install or uninstall goes on in the same window
  HANDOFF_TEMP_COPY,   // the uninstaller in the install folder: its staged copy, so the folder can go
  HANDOFF_IN_PLACE,    // the running executable itself
};

// The WebView2 screen may go on in-process; the native window always starts an elevated copy.
consent_handoff consent_handoff_for(int is_uninstall, int elevated, int in_install_dir, int in_process_allowed);

// How long the first process waits for the elevated copy's screen.
constexpr uint32_t ELEVATED_UI_WAIT_MS = 15000;

enum elevated_ui_outcome { ELEVATED_UI_READY, ELEVATED_UI_EXITED, ELEVATED_UI_TIMED_OUT };

struct elevated_ui_wait {
  elevated_ui_outcome outcome;
  uint32_t exit_code;  // ELEVATED_UI_EXITED
  int still_running;   // ELEVATED_UI_TIMED_OUT: the child was still there after the wait
};

// The screens' result for the outcome: 0 ready, 10 exited first, 11 nothing shown in time.
int consent_result_for(elevated_ui_outcome outcome);

// The close event's message (and log text) of a hand-off that ended without the child's
// screen; the WebView2 screen names the wait and whether the child is still there, the native
// window keeps its shorter text. Empty for ELEVATED_UI_READY.
void handoff_failure_message(const elevated_ui_wait& wait, int native_window, char* out, size_t size);
