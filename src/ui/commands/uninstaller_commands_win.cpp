#include <cstring>

#include "base/bounded_text.h"
#include "base/json_field.h"
#include "product/ui_post.h"
#include "state/os_probe.h"
#include "ui/commands/state_objects.h"
#include "ui/commands/uninstaller_commands.h"
#include "ui/page_contract.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"
#include "uninstall/uninstall_ui.h"

namespace {

constexpr size_t ACTION_SIZE = 16;

void get_install_state(const char*, int32_t id) { ui_uninstall_state_json(id); }

// "cancel" comes from the feedback screen's way out before the uninstall begins; the worker
// then ends without touching anything and the end reports "User cancelled".
void signal_user_action(const char* json, int32_t) {
  char action[ACTION_SIZE];
  json_get_string(json, "action", action, sizeof action);
  if (strcmp(action, "begin") == 0)
    InterlockedExchange(&ui_uninstall_flags.begun, 1);
  else if (strcmp(action, "cancel") == 0)
    InterlockedExchange(&ui_uninstall_flags.cancelled, 1);
}

void enable_close(const char*, int32_t) { ui_enable_close(); }

constexpr ui_command COMMANDS[] = {
    {page_command("get_install_state"), get_install_state, 1}, {page_command("signal_user_action"), signal_user_action, 0},
    {page_command("exit_sibling"), ui_exit_sibling, 1},        {page_command("log_from_js"), ui_log_from_page, 0},
    {page_command("enable_close"), enable_close, 0},           {page_command("show_window"), ui_no_action, 0},
    {page_command("sibling_show_complete"), ui_no_action, 0},
};
static_assert(page_table_matches(COMMANDS, PAGE_UNINSTALL));

}  // namespace

void ui_uninstall_state_json(int32_t id) {
  const install_state* state = ui_uninstall_flags.state;
  probe_antivirus_wait();
  char object[UI_STATE_OBJECT_SIZE];
  if (!state || ui_uninstall_state_object(state, object, sizeof object) != 0) text_copy(object, "{}");
  ui_send_state_response(id, object, "uninstall-state");
}

void ui_uninstaller_command(const char* json) { ui_run_command(COMMANDS, sizeof COMMANDS / sizeof COMMANDS[0], json); }
