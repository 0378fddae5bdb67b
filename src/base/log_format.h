// Formatting rules of the log, kept apart from the file handling so they run anywhere.
#pragma once

#include <cstdarg>
#include <cstddef>

enum log_level { LOG_LEVEL_DEBUG = 0, LOG_LEVEL_INFO = 1, LOG_LEVEL_WARN = 2, LOG_LEVEL_ERROR = 3 };

constexpr size_t LOG_MESSAGE_MAX = 1023;     // characters of one message
constexpr size_t LOG_LINE_MAX = 1279;        // characters of one line, before CR LF
constexpr size_t LOG_ERROR_LINE_MAX = 1535;  // the failure-event line with its details

// "DEBUG", "INFO", "WARN", "ERROR"; any other number is "INFO".
const char* log_level_name(int level);

// A level word from the page: debug, info, warn/warning, error (any case); anything else is info.
int log_level_from_word(const char* word);

// "<timestamp> [<LEVEL>] [<component>] <message>" cut to LOG_LINE_MAX characters (no CR LF).
void log_format_line(char* out, size_t size, const char* timestamp, int level, const char* component,
                     const char* message);

// The failure-event form: "<timestamp> [ERROR] [<component>] <message> [<details>]".
void log_format_error_line(char* out, size_t size, const char* timestamp, const char* component,
                           const char* message, const char* details);

// The fallback of an unwritable log path: temp folder + base name. Returns -1 when that path
// cannot be formed or is the primary path itself (compared without regard to case).
int log_fallback_path(const char* temp_dir, const char* primary, char* out, size_t size);

// The fallback when the log's name is taken by a link to another file: the same name in the
// temp folder with the process id before its ".log" ("Corvane.Installer-20260304-4242.log"),
// so the run still logs beside the planted name. -1 when it does not fit.
int log_link_fallback_path(const char* temp_dir, const char* primary, unsigned long process_id, char* out,
                           size_t size);
