#include "ui/commands/install_end_rules.h"

#include <gtest/gtest.h>

// The Windows tests play the page's launch, the implicit launch and the confirmed close; these
// are the rows no window reaches.
TEST(InstallEndRules, TheEndLaunchesOnlyARealSuccessLeftUnlaunched) {
  struct row {
    ui_finish_facts facts;
    ui_finish_launch_step step;
  } rows[] = {
      {{1, 0, 0, 1, 0, OUTCOME_NOT_REACHED}, FINISH_IMPLICIT_LAUNCH},
      {{1, 0, 1, 1, 0, OUTCOME_CONFIRMED_NO_LAUNCH}, FINISH_NOTHING},  // recorded once
      {{0, 0, 0, 1, 0, OUTCOME_NOT_REACHED}, FINISH_NOTHING},          // nothing installed
      {{1, 0, 0, 0, 0, OUTCOME_NOT_REACHED}, FINISH_NOTHING},          // no record to launch from
      {{1, 0, 0, 1, 1, OUTCOME_NOT_REACHED}, FINISH_NOTHING},          // a dry run
  };
  for (const row& r : rows) EXPECT_EQ(ui_finish_launch_step_for(r.facts), r.step);
  EXPECT_STREQ(ui_launch_outcome_word(ui_launch_outcome_of_code(-5)), "launch_failed");
}
