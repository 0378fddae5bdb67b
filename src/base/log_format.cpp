#include "base/log_format.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/path_text.h"

const char* log_level_name(int level) {
  switch (level) {
    case LOG_LEVEL_DEBUG: return "DEBUG";
    case LOG_LEVEL_WARN: return "WARN";
    case LOG_LEVEL_ERROR: return "ERROR";
    default: return "INFO";
  }
}

int log_level_from_word(const char* word) {
  if (!word) return LOG_LEVEL_INFO;
  if (text_equal_nocase(word, "debug")) return LOG_LEVEL_DEBUG;
  if (text_equal_nocase(word, "warn") || text_equal_nocase(word, "warning")) return LOG_LEVEL_WARN;
  if (text_equal_nocase(word, "error")) return LOG_LEVEL_ERROR;
  return LOG_LEVEL_INFO;
}

void log_format_line(char* out, size_t size, const char* timestamp, int level, const char* component,
                     const char* message) {
  size_t limit = size < LOG_LINE_MAX + 1 ? size : LOG_LINE_MAX + 1;
  text_format(out, limit, "%s [%s] [%s] %s", timestamp, log_level_name(level), component, message);
}

void log_format_error_line(char* out, size_t size, const char* timestamp, const char* component,
                           const char* message, const char* details) {
  size_t limit = size < LOG_ERROR_LINE_MAX + 1 ? size : LOG_ERROR_LINE_MAX + 1;
  text_format(out, limit, "%s [%s] [%s] %s [%s]", timestamp, "ERROR", component, message, details);
}

int log_link_fallback_path(const char* temp_dir, const char* primary, unsigned long process_id, char* out,
                           size_t size) {
  const char* base = path_file_name(primary);
  size_t stem = strlen(base);
  if (stem >= 4 && text_equal_nocase(base + stem - 4, ".log")) stem -= 4;
  size_t limit = size < 260 ? size : 260;
  if (stem > 259 || !text_format(out, limit, "%s%.*s-%lu.log", temp_dir, static_cast<int>(stem), base, process_id)) {
    if (size) out[0] = '\0';
    return -1;
  }
  return 0;
}

int log_fallback_path(const char* temp_dir, const char* primary, char* out, size_t size) {
  size_t limit = size < 260 ? size : 260;  // MAX_PATH-1 characters at most
  if (!text_format(out, limit, "%s%s", temp_dir, path_file_name(primary))) return -1;
  if (text_equal_nocase(out, primary)) return -1;
  return 0;
}
