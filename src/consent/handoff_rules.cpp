#include "consent/handoff_rules.h"

#include <cinttypes>

#include "base/bounded_text.h"
#include "product/exit_codes.h"

consent_handoff consent_handoff_for(int is_uninstall, int elevated, int in_install_dir, int in_process_allowed) {
  // The uninstaller in its install folder never goes on in-process: it would hold the folder it removes.
  if (is_uninstall && in_install_dir) return consent_handoff::temp_copy;
  return in_process_allowed && elevated ? consent_handoff::in_process : consent_handoff::in_place;
}

consent_result consent_result_for(elevated_ui_outcome outcome) {
  switch (outcome) {
    case elevated_ui_outcome::ready: return consent_result::done;
    case elevated_ui_outcome::exited: return consent_result::copy_exited;
    case elevated_ui_outcome::timed_out: return consent_result::copy_showed_nothing;
  }
  return consent_result::copy_showed_nothing;
}

void handoff_failure_message(const elevated_ui_wait& wait, int native_window, char* out, size_t size) {
  switch (wait.outcome) {
    case elevated_ui_outcome::ready:
      text_copy(out, size, "");
      break;
    case elevated_ui_outcome::exited:
      text_format(out, size, "Elevated child exited before showing UI (exit code %" PRIu32 ")", wait.exit_code);
      break;
    case elevated_ui_outcome::timed_out:
      if (native_window)
        text_copy(out, size, "Elevated child showed no UI within timeout");
      else
        text_format(out, size, "Elevated child showed no UI within %" PRIu32 " ms (%s)", ELEVATED_UI_WAIT_MS,
                    wait.still_running ? "still running" : "already gone");
      break;
  }
}
