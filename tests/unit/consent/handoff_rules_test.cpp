#include <gtest/gtest.h>

#include "consent/handoff_rules.h"

TEST(HandoffRules, WhereTheElevatedRunGoesOn) {
  const struct {
    int is_uninstall, elevated, in_install_dir, in_process_allowed;
    consent_handoff expected;
  } cases[] = {
      {0, 1, 0, 1, consent_handoff::in_process},  // an elevated installer continues in its window
      {0, 0, 0, 1, consent_handoff::in_place},
      {1, 1, 0, 1, consent_handoff::in_process},  // a standalone uninstaller too
      {1, 1, 1, 1, consent_handoff::temp_copy},   // never from the folder it removes
      {1, 0, 1, 1, consent_handoff::temp_copy},
      {1, 0, 0, 1, consent_handoff::in_place},
      {0, 1, 0, 0, consent_handoff::in_place},  // the native window always starts a copy
      {1, 1, 1, 0, consent_handoff::temp_copy},
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
      {{elevated_ui_outcome::ready, 0, 0}, 0, ""},
      {{elevated_ui_outcome::exited, 1603, 0}, 0, "Elevated child exited before showing UI (exit code 1603)"},
      {{elevated_ui_outcome::exited, 3221225477u, 0}, 1, "Elevated child exited before showing UI (exit code 3221225477)"},
      {{elevated_ui_outcome::timed_out, 0, 1}, 0, "Elevated child showed no UI within 15000 ms (still running)"},
      {{elevated_ui_outcome::timed_out, 0, 0}, 0, "Elevated child showed no UI within 15000 ms (already gone)"},
      {{elevated_ui_outcome::timed_out, 0, 1}, 1, "Elevated child showed no UI within timeout"},
  };
  for (const auto& c : cases) {
    char out[128] = "x";
    handoff_failure_message(c.wait, c.native, out, sizeof out);
    EXPECT_STREQ(out, c.message);
  }
}
