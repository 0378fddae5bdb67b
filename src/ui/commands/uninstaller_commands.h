// The uninstall page's commands (uninstall.html). They meet the uninstall worker in
// ui_uninstall_flags (uninstall/uninstall_ui.h); the end of the screen is uninstall_ui_end.
#pragma once

#include <cstdint>

// The uninstall page's command handler, on the UI thread, for every invoke of that page.
void ui_uninstaller_command(const char* json);

// get_install_state on this page: answers with the uninstall-state object ({} when the screen
// has no state, or when the object is too large to send).
void ui_uninstall_state_json(int32_t id);
