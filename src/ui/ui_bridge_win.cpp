#include <cstring>

#include "base/json_field.h"
#include "base/log.h"
#include "product/ui_post.h"
#include "ui/commands/installer_commands.h"
#include "ui/commands/uninstaller_commands.h"
#include "ui/page_contract.h"
#include "ui/page_message.h"
#include "ui/ui_bridge.h"
#include "ui/ui_host.h"

namespace {

constexpr size_t PAGE_LEVEL_SIZE = 16;
constexpr size_t PAGE_LINE_SIZE = 512;

}  // namespace

void ui_on_message_installer(const char* json, void*) {
  if (ui_message_is_invoke(json)) ui_installer_command(json);
}

void ui_on_message_uninstaller(const char* json, void*) {
  if (ui_message_is_invoke(json)) ui_uninstaller_command(json);
}

void ui_run_command(const ui_command* table, size_t count, const char* json) {
  ui_invoke invoke;
  ui_read_invoke(json, &invoke);
  if (strcmp(invoke.cmd, page_command("log_from_js")) != 0)
    log_write(LOG_UI, LOG_LEVEL_DEBUG, "invoke cmd=%s", invoke.cmd);
  for (size_t i = 0; i < count; ++i) {
    if (strcmp(table[i].name, invoke.cmd) != 0) continue;
    table[i].run(json, invoke.id);
    if (!table[i].answers_itself) ui_send_null_response(invoke.id);
    return;
  }
  log_write(LOG_UI, LOG_LEVEL_WARN, "Unknown invoke cmd: %s", invoke.cmd);
  ui_send_null_response(invoke.id);
}

void ui_log_from_page(const char* json, int32_t) {
  char level[PAGE_LEVEL_SIZE], line[PAGE_LINE_SIZE];
  json_get_string(json, "level", level, sizeof level);
  json_get_string(json, "message", line, sizeof line);
  log_write(LOG_UI, log_level_from_word(level), "%s", line);
}

void ui_exit_sibling(const char*, int32_t id) {
  ui_send_null_response(id);
  ui_post_close();
}

void ui_no_action(const char*, int32_t) {}
