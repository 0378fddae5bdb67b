// Messages to the page go to the installed sink: the host window's poster while a window lives
// (ui/ui_post_sink_win.cpp), a recorder in tests; without one they are dropped with a debug line.
#include <atomic>

#include "base/log.h"
#include "product/ui_messages.h"
#include "product/ui_post.h"

namespace {
std::atomic<ui_post_sink> g_sink{nullptr};
}

void ui_set_post_sink(ui_post_sink sink) { g_sink.store(sink); }

void ui_post_json(const char* json) {
  ui_post_sink sink = g_sink.load();
  if (sink) {
    sink(json);
    return;
  }
  log_write(LOG_UI, LOG_LEVEL_DEBUG, "ui_post_json: no host window; dropped %s", json);
}

void ui_send_progress(const char* stage, int percent) {
  char message[UI_PROGRESS_MESSAGE_SIZE];
  if (ui_format_progress(stage, percent, message, sizeof message) == 0) ui_post_json(message);
}

void ui_send_terminal(const char* stage, const char* terminal, const char* outcome) {
  char message[UI_TERMINAL_MESSAGE_SIZE];
  if (ui_format_terminal(stage, terminal, outcome, message, sizeof message) == 0) ui_post_json(message);
}

void ui_progress_downloading(int32_t percent, void*) { ui_send_progress(install_stage("downloading"), percent); }

void ui_progress_extracting(int32_t percent, void*) { ui_send_progress(install_stage("extracting"), percent); }

void ui_progress_callback(const char* stage, int percent, void*) { ui_send_progress(stage, percent); }
