// The end of the install screen, after its window has closed.
#include <windows.h>

#include "base/log.h"
#include "install/install_ui_worker.h"
#include "install/launch.h"
#include "telemetry/tracking.h"
#include "ui/commands/install_end_rules.h"
#include "ui/commands/installer_commands.h"
#include "ui/commands/launch_on_logon.h"
#include "ui/ui_host.h"

namespace {

constexpr DWORD WORKER_WAIT_MS = 15000;
constexpr uint32_t LAUNCH_WAIT_MS = 15000;
constexpr uint32_t LAUNCH_ON_LOGON_WAIT_MS = 5 * 15000;  // five schtasks runs at most, 15 s each

// The close event and the launch read the record: a worker stopped early may still be settling
// it (the session data's request ends within its own time-outs).
void join_worker() {
  ui_install_let_settle();  // a window that never showed has not let it yet
  if (ui_install_flags.worker_thread) WaitForSingleObject(ui_install_flags.worker_thread.get(), WORKER_WAIT_MS);
  ui_install_flags.worker_thread.reset();
  ui_install_record_settled(INFINITE);
  if (ui_install_flags.state_answer) WaitForSingleObject(ui_install_flags.state_answer.get(), INFINITE);
  ui_install_flags.state_answer.reset();
}

void launch_if_left_unlaunched(install_state* state) {
  ui_finish_facts facts = {};
  facts.succeeded = ui_install_flags.succeeded;
  facts.launch_requested = ui_install_flags.launch_requested;
  facts.confirmed_close = ui_host_user_confirmed_close();
  facts.have_state = state != nullptr;
  facts.dry_run = state && state->dry_run;
  facts.launch_outcome = InterlockedCompareExchange(&ui_install_flags.launch_outcome, 0, 0);
  switch (ui_finish_launch_step_for(facts)) {
    case FINISH_IMPLICIT_LAUNCH: {
      log_info("Window closed after success — launching Corvane");
      launch_result result = launch_installed_app(state);
      ui_record_launch_result(result.code, result.family);
      InterlockedExchange(&ui_install_flags.launch_requested, 1);
      break;
    }
    case FINISH_CONFIRMED_NO_LAUNCH:
      log_info("User confirmed exit-without-launch — skipping implicit Corvane launch");
      InterlockedExchange(&ui_install_flags.launch_outcome, OUTCOME_CONFIRMED_NO_LAUNCH);
      break;
    case FINISH_NOTHING: break;
  }
}

}  // namespace

void ui_install_finish(install_state* state) {
  InterlockedExchange(&ui_install_flags.cancelled, 1);
  join_worker();
  launch_if_left_unlaunched(state);
  ui_launch_join(LAUNCH_WAIT_MS);
  ui_launch_on_logon_join(LAUNCH_ON_LOGON_WAIT_MS);
  int32_t outcome = InterlockedCompareExchange(&ui_install_flags.launch_outcome, 0, 0);
  int32_t stage = InterlockedCompareExchange(&ui_install_flags.exit_stage, 0, 0);
  const char* family =
      outcome == OUTCOME_LAUNCH_FAILED ? launch_family_word(ui_install_flags.launch_error_family) : nullptr;
  tracking_send_installer_close(state, ui_install_flags.begun ? "Installer end" : "User cancelled",
                                ui_launch_outcome_word(outcome), ui_exit_stage_word(stage), family);
  ui_install_flags.state = nullptr;
}
