#include "base/schtasks_command.h"

#include "base/bounded_text.h"

bool schtasks_delete_command(const char* task, char* out, size_t size) {
  return text_format(out, size, "schtasks.exe /Delete /TN \"%s\" /F", task);
}

bool schtasks_change_command(const char* task, const char* program, const char* arguments, char* out, size_t size) {
  return text_format(out, size, "schtasks.exe /Change /TN \"%s\" /TR \"\\\"%s\\\" %s\" /ENABLE", task, program,
                     arguments);
}
