#include <cstring>

#include "base/json_field.h"
#include "base/log.h"
#include "install/install_ui_worker.h"
#include "ui/commands/install_end_rules.h"
#include "ui/commands/installer_commands.h"
#include "ui/commands/launch_on_logon.h"
#include "ui/page_contract.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"

namespace {

constexpr size_t ACTION_SIZE = 16;

void get_install_state(const char*, int32_t id) { ui_install_state_json(id); }

void signal_user_action(const char* json, int32_t) {
  char action[ACTION_SIZE];
  json_get_string(json, "action", action, sizeof action);
  if (strcmp(action, "begin") == 0) {
    InterlockedExchange(&ui_install_flags.begun, 1);
    InterlockedExchange(&ui_install_flags.exit_stage, EXIT_INSTALLING);
  } else if (strcmp(action, "cancel") == 0) {
    InterlockedExchange(&ui_install_flags.cancelled, 1);
  } else if (strcmp(action, "done") == 0) {
    InterlockedExchange(&ui_install_flags.exit_stage, EXIT_FINISH);
  }
}

// From the finish page on, leaving without the app running deserves a question.
void enable_close(const char*, int32_t) {
  ui_set_close_confirmation("Are you sure you want to exit without launching CorVane?", "CorVane Setup");
  ui_enable_close();
}

void launch_on_logon(const char* json, int32_t) {
  if (ui_install_dry_run()) {
    log_write(LOG_UI, LOG_LEVEL_INFO, "DRY RUN: skipping launch-on-logon reg write");
    return;
  }
  ui_start_launch_on_logon(ui_install_flags.state->install_dir, json_get_bool(json, "enabled"));
}

constexpr ui_command COMMANDS[] = {
    {page_command("log_from_js"), ui_log_from_page, 0},
    {page_command("get_install_state"), get_install_state, 1},
    {page_command("signal_user_action"), signal_user_action, 0},
    {page_command("launch_app"), ui_launch_app, 0},
    {page_command("exit_sibling"), ui_exit_sibling, 1},
    {page_command("enable_close"), enable_close, 0},
    {page_command("show_window"), ui_no_action, 0},
    {page_command("sibling_show_complete"), ui_no_action, 0},
    {page_command("save_onboarding_browsers"), ui_save_onboarding_browsers, 0},
    {page_command("save_onboarding_filters"), ui_save_onboarding_filters, 0},
    {page_command("open_url"), ui_open_url, 0},
    {page_command("save_https_decryption_consent"), ui_save_https_decryption_consent, 0},
    {page_command("save_onboarding_https"), ui_save_onboarding_https, 0},
    {page_command("set_launch_on_logon"), launch_on_logon, 0},
};
static_assert(page_table_matches(COMMANDS, PAGE_INSTALL));

}  // namespace

bool ui_install_dry_run() {
  const install_state* state = ui_install_flags.state;
  return !state || state->dry_run;
}

void ui_installer_command(const char* json) { ui_run_command(COMMANDS, sizeof COMMANDS / sizeof COMMANDS[0], json); }
