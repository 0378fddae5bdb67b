#include "ui/commands/install_end_rules.h"

const char* ui_exit_stage_word(int32_t stage) {
  switch (stage) {
    case EXIT_INSTALLING: return "installing";
    case EXIT_POST_INSTALL: return "post_install";
    case EXIT_FINISH: return "finish";
    default: return "pre_install";
  }
}

const char* ui_launch_outcome_word(int32_t outcome) {
  switch (outcome) {
    case OUTCOME_CONFIRMED_NO_LAUNCH: return "confirmed_no_launch";
    case OUTCOME_LAUNCH_ACCEPTED: return "launch_accepted";
    case OUTCOME_ALREADY_RUNNING: return "already_running";
    case OUTCOME_LAUNCH_FAILED: return "launch_failed";
    default: return "not_reached";
  }
}

int32_t ui_launch_outcome_of_code(int code) {
  if (code == 0) return OUTCOME_LAUNCH_ACCEPTED;
  return code == 1 ? OUTCOME_ALREADY_RUNNING : OUTCOME_LAUNCH_FAILED;
}

ui_finish_launch_step ui_finish_launch_step_for(const ui_finish_facts& f) {
  if (!f.succeeded || f.launch_requested) return FINISH_NOTHING;
  if (!f.confirmed_close) return f.have_state && !f.dry_run ? FINISH_IMPLICIT_LAUNCH : FINISH_NOTHING;
  return f.launch_outcome == OUTCOME_CONFIRMED_NO_LAUNCH ? FINISH_NOTHING : FINISH_CONFIRMED_NO_LAUNCH;
}
