// How an install screen ends: the words the close event reports for the install flags'
// numbers, and whether the end launches the app itself.
#pragma once

#include <cstdint>

enum ui_exit_stage { EXIT_PRE_INSTALL = 0, EXIT_INSTALLING = 1, EXIT_POST_INSTALL = 2, EXIT_FINISH = 3 };

enum ui_launch_outcome {
  OUTCOME_NOT_REACHED = 0,
  OUTCOME_CONFIRMED_NO_LAUNCH = 1,
  OUTCOME_LAUNCH_ACCEPTED = 2,
  OUTCOME_ALREADY_RUNNING = 3,
  OUTCOME_LAUNCH_FAILED = 4,
};

// "pre_install", "installing", "post_install", "finish"; unknown numbers are "pre_install".
const char* ui_exit_stage_word(int32_t stage);
// "not_reached", "confirmed_no_launch", "launch_accepted", "already_running", "launch_failed";
// unknown numbers are "not_reached".
const char* ui_launch_outcome_word(int32_t outcome);
// The outcome of a launcher result code: 0 accepted, 1 already running, anything else failed.
int32_t ui_launch_outcome_of_code(int code);

enum ui_finish_launch_step { FINISH_NOTHING, FINISH_IMPLICIT_LAUNCH, FINISH_CONFIRMED_NO_LAUNCH };

struct ui_finish_facts {
  int succeeded;         // the worker reported the product present
  int launch_requested;  // the page (or an earlier end) asked for the launch
  int confirmed_close;   // the person answered Yes to leaving without launching
  int have_state;
  int dry_run;  // a dry run installed nothing to launch
  int32_t launch_outcome;
};

// After a successful install that nobody launched: launch now, unless the person confirmed
// leaving without it (recorded once).
ui_finish_launch_step ui_finish_launch_step_for(const ui_finish_facts& facts);
