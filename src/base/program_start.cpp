#include "base/program_start.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

bool is_full_path(const char* begin, size_t length) {
  if (length >= 3 && begin[1] == ':' && begin[2] == '\\') return true;
  return length >= 3 && begin[0] == '\\' && begin[1] == '\\';
}

// A quoted full path: the text between the quotes, ended by the line's end or a blank.
int take_quoted(const char* line, char* application, size_t app_size, const char** rest) {
  const char* close = strchr(line + 1, '"');
  if (!close) return -1;
  size_t length = static_cast<size_t>(close - line - 1);
  if (!is_full_path(line + 1, length) || (close[1] && close[1] != ' ' && close[1] != '\t')) return -1;
  if (length >= app_size) return -1;
  memcpy(application, line + 1, length);
  application[length] = '\0';
  *rest = close + 1;
  return 0;
}

// A bare tool name: no folder, drive or quote in it, so it can only mean the system's tool.
int take_tool(const char* line, const char* system_dir, char* application, size_t app_size, const char** rest) {
  size_t length = strcspn(line, " \t");
  if (!system_dir[0] || length == 0 || strcspn(line, "\\/:\"") < length) return -1;
  char name[260];
  if (length >= sizeof name) return -1;
  memcpy(name, line, length);
  name[length] = '\0';
  if (!text_format(application, app_size, "%s\\%s", system_dir, name)) return -1;
  *rest = line + length;
  return 0;
}

}  // namespace

int resolve_program(const char* command_line, const char* system_dir, char* application, size_t app_size,
                    char* command, size_t command_size) {
  if (!application || app_size == 0 || !command || command_size == 0) return -1;
  application[0] = command[0] = '\0';
  const char* line = command_line ? command_line : "";
  const char* rest = nullptr;
  int taken = line[0] == '"' ? take_quoted(line, application, app_size, &rest)
                             : take_tool(line, system_dir ? system_dir : "", application, app_size, &rest);
  if (taken != 0 || !text_format(command, command_size, "\"%s\"%s", application, rest)) {
    application[0] = command[0] = '\0';
    return -1;
  }
  return 0;
}
