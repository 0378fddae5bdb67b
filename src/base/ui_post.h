// Reaching the page from any thread: a JSON text handed to the host window's thread.
#pragma once

#include <cstdint>

// Hands the JSON text to the page. Safe from any thread.
void ui_post_json(const char* json);
// The formatted progress and terminal events (stage words of the install and uninstall flows).
void ui_send_progress(const char* stage, int percent);
void ui_send_terminal(const char* stage, const char* terminal, const char* outcome);

// Progress callbacks of the UI mode: the download's and the extraction's percents with their
// stage words fixed, and the install state's progress callback (the context is not used).
void ui_progress_downloading(int32_t percent, void* context);
void ui_progress_extracting(int32_t percent, void* context);
void ui_progress_callback(const char* stage, int percent, void* context);

// Where posted messages go: the host window installs its poster when it opens; tests install
// a recorder. Without one, messages are dropped.
typedef void (*ui_post_sink)(const char* json);
void ui_set_post_sink(ui_post_sink sink);
