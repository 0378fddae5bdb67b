// Reaching the page from any thread: a JSON text handed to the host window's thread.
#pragma once

// Hands the JSON text to the page. Safe from any thread.
void ui_post_json(const char* json);
// The formatted progress and terminal events (stage words of the install and uninstall flows).
void ui_send_progress(const char* stage, int percent);
void ui_send_terminal(const char* stage, const char* terminal, const char* outcome);

// Where posted messages go: the host window installs its poster when it opens; tests install
// a recorder. Without one, messages are dropped.
typedef void (*ui_post_sink)(const char* json);
void ui_set_post_sink(ui_post_sink sink);
