#include "consent/handoff_rules.h"

#include <cinttypes>

#include "base/bounded_text.h"
#include "product/exit_codes.h"

consent_handoff consent_handoff_for(int is_uninstall, int elevated, int in_install_dir, int in_process_allowed) {
  // The uninstaller in its install folder never goes on in-process: it would hold the folder it removes.
  if (is_uninstall && in_install_dir) return HANDOFF_TEMP_COPY;
  return in_process_allowed && elevated ? HANDOFF_IN_PROCESS : HANDOFF_IN_PLACE;
}

int consent_result_for(elevated_ui_outcome outcome) {
  switch (outcome) {
    case ELEVATED_UI_READY: return EXIT_OK;
    case ELEVATED_UI_EXITED: return EXIT_ELEVATED_COPY_EXITED;
    case ELEVATED_UI_TIMED_OUT: return EXIT_ELEVATED_COPY_SHOWED_NOTHING;
  }
  return EXIT_ELEVATED_COPY_SHOWED_NOTHING;
}

void handoff_failure_message(const elevated_ui_wait& wait, int native_window, char* out, size_t size) {
  switch (wait.outcome) {
    case ELEVATED_UI_READY:
      text_copy(out, size, "");
      break;
    case ELEVATED_UI_EXITED:
      text_format(out, size, "Elevated child exited before showing UI (exit code %" PRIu32 ")", wait.exit_code);
      break;
    case ELEVATED_UI_TIMED_OUT:
      if (native_window)
        text_copy(out, size, "Elevated child showed no UI within timeout");
      else
        text_format(out, size, "Elevated child showed no UI within %" PRIu32 " ms (%s)", ELEVATED_UI_WAIT_MS,
                    wait.still_running ? "still running" : "already gone");
      break;
  }
}
