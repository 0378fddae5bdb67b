#include <gtest/gtest.h>

#include "consent/handoff_rules.h"

TEST(HandoffRules, WhereTheElevatedRunGoesOn) {
  const struct {
    int is_uninstall, elevated, in_install_dir, in_process_allowed;
    consent_handoff expected;
  } cases[] = {
      {0, 1, 0, 1, HANDOFF_IN_PROCESS},  // an elevated installer continues in its window
      {0, 0, 0, 1, HANDOFF_IN_PLACE},
      {1, 1, 0, 1, HANDOFF_IN_PROCESS},  // a standalone uninstaller too
      {1, 1, 1, 1, HANDOFF_TEMP_COPY},   // never from the folder it removes
      {1, 0, 1, 1, HANDOFF_TEMP_COPY},
      {1, 0, 0, 1, HANDOFF_IN_PLACE},
      {0, 1, 0, 0, HANDOFF_IN_PLACE},  // the native window always starts a copy
      {1, 1, 1, 0, HANDOFF_TEMP_COPY},
  };
  for (const auto& c : cases)
    EXPECT_EQ(consent_handoff_for(c.is_uninstall, c.elevated, c.in_install_dir, c.in_process_allowed), c.expected)
        << c.is_uninstall << c.elevated << c.in_install_dir << c.in_process_allowed;
}

TEST(HandoffRules, CloseMessages) {
  const struct {
    elevated_ui_wait wait;
    int native;
    const char* message;
  } cases[] = {
      {{ELEVATED_UI_READY, 0, 0}, 0, ""},
      {{ELEVATED_UI_EXITED, 1603, 0}, 0, "Elevated child exited before showing UI (exit code 1603)"},
      {{ELEVATED_UI_EXITED, 3221225477u, 0}, 1, "Elevated child exited before showing UI (exit code 3221225477)"},
      {{ELEVATED_UI_TIMED_OUT, 0, 1}, 0, "Elevated child showed no UI within 15000 ms (still running)"},
      {{ELEVATED_UI_TIMED_OUT, 0, 0}, 0, "Elevated child showed no UI within 15000 ms (already gone)"},
      {{ELEVATED_UI_TIMED_OUT, 0, 1}, 1, "Elevated child showed no UI within timeout"},
  };
  for (const auto& c : cases) {
    char out[128] = "x";
    handoff_failure_message(c.wait, c.native, out, sizeof out);
    EXPECT_STREQ(out, c.message);
  }
}
