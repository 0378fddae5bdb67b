// The program's log: two channels (main and UI) writing dated files in the temp folder.
// The log never stops the program: an unwritable path falls back to the temp folder, and
// when that fails too the channel stays closed and its lines are dropped.
#pragma once

#include "base/log_format.h"

enum log_channel_index { LOG_MAIN = 0, LOG_UI = 1 };

// Opens (or reopens) a channel's file for appending. An empty path does nothing.
void log_open(int channel, const char* path, const char* component);
void log_close(int channel);
bool log_is_open(int channel);

// Returns 0 when written or dropped for its level, -1 when the channel is not open.
int log_write(int channel, int level, const char* fmt, ...) __attribute__((format(printf, 3, 4)));

// Lines below this level are dropped; opening a main log sets it back to INFO.
void log_set_min_level(int level);

// The failure-event line, written to the main channel without the level filter.
void log_write_error_details(const char* message, const char* details);

// The main channel's current component ("Installer" or "Uninstaller").
const char* log_main_component();

// The dated file name in the temp folder for a stem such as "Corvane.Installer": "%s<stem>-%s.log".
void log_dated_path(const char* stem, char* out, unsigned size);

#define log_debug(...) log_write(LOG_MAIN, LOG_LEVEL_DEBUG, __VA_ARGS__)
#define log_info(...) log_write(LOG_MAIN, LOG_LEVEL_INFO, __VA_ARGS__)
#define log_warn(...) log_write(LOG_MAIN, LOG_LEVEL_WARN, __VA_ARGS__)
#define log_error(...) log_write(LOG_MAIN, LOG_LEVEL_ERROR, __VA_ARGS__)
