// How the consent screens hand over to the elevated run, and how they report a hand-off that
// did not reach its screen (pure).
#pragma once

#include <cstddef>
#include <cstdint>

#include "consent/consent.h"

enum class consent_handoff {
  in_process,  // already elevated: the install or uninstall goes on in the same window
  temp_copy,   // the uninstaller in the install folder: its staged copy, so the folder can go
  in_place,    // the running executable itself
};

// The WebView2 screen may go on in-process; the native window always starts an elevated copy.
consent_handoff consent_handoff_for(int is_uninstall, int elevated, int in_install_dir, int in_process_allowed);

// How long the first process waits for the elevated copy's screen.
constexpr uint32_t ELEVATED_UI_WAIT_MS = 15000;

enum class elevated_ui_outcome { ready, exited, timed_out };

struct elevated_ui_wait {
  elevated_ui_outcome outcome;
  uint32_t exit_code;  // exited
  int still_running;   // timed_out: the child was still there after the wait
};

// The screens' result for the outcome: done, copy_exited or copy_showed_nothing.
consent_result consent_result_for(elevated_ui_outcome outcome);

// The close event's message (and log text) of a hand-off that ended without the child's
// screen; the WebView2 screen names the wait and whether the child is still there, the native
// window keeps its shorter text. Empty for ready.
void handoff_failure_message(const elevated_ui_wait& wait, int native_window, char* out, size_t size);
