// Reaching the page from any thread: a JSON text handed to the host window's thread.
#pragma once

#include <cstdint>

// Hands the JSON text to the page. Safe from any thread.
void ui_post_json(const char* json);
// The formatted progress and terminal events (stage words of the install and uninstall flows).
void ui_send_progress(const char* stage, int percent);
void ui_send_terminal(const char* stage, const char* terminal, const char* outcome);

// Answers the page's invoke with a JSON value text (null: null). A result too large for the
// answer's buffer is answered with {} and a warning naming what was left out (label, e.g.
// "install-state"), so the page always receives a valid answer to its id.
void ui_send_response(int32_t id, const char* result);
void ui_send_null_response(int32_t id);
// The same with the larger buffer of the install- and uninstall-state objects.
void ui_send_state_response(int32_t id, const char* result, const char* label);

// Progress callbacks of the UI mode: the download's and the extraction's percents with their
// stage words fixed, and the install state's progress callback (the context is not used).
void ui_progress_downloading(int32_t percent, void* context);
void ui_progress_extracting(int32_t percent, void* context);
void ui_progress_callback(const char* stage, int percent, void* context);

// Where posted messages go: the host window installs its poster when it opens; tests install
// a recorder. Without one, messages are dropped.
typedef void (*ui_post_sink)(const char* json);
void ui_set_post_sink(ui_post_sink sink);
