// The page's messages enter the program here, on the UI thread, and every command of every
// page runs through one table walk: the debug line, the handler, the answer.
#pragma once

#include <cstddef>
#include <cstdint>

// The on_message callbacks of ui_host_config for the install and the uninstall screens:
// invokes go to the page's command handler, every other message is ignored.
void ui_on_message_installer(const char* json, void* context);
void ui_on_message_uninstaller(const char* json, void* context);

// One command of a page. The handler gets the whole message (its arguments are found by key)
// and the invoke's id; unless it answers itself, the null answer follows it.
struct ui_command {
  const char* name;
  void (*run)(const char* json, int32_t id);
  int answers_itself;
};

// Reads the invoke's id and command, logs "invoke cmd=..." at debug (not for log_from_js, which
// would double every page line), runs the command of that name, or answers an unknown one
// with null and a warning.
void ui_run_command(const ui_command* table, size_t count, const char* json);

// Handlers the pages share.
void ui_log_from_page(const char* json, int32_t id);  // log_from_js: the page's line on the UI log
void ui_exit_sibling(const char* json, int32_t id);   // answers first, then closes past the guard
void ui_no_action(const char* json, int32_t id);      // show_window, sibling_show_complete
void ui_open_url(const char* json, int32_t id);       // web addresses only, through the desktop shell
