// Command lines of the Task Scheduler's tool, formed in one place for every caller (the
// uninstaller's task removal, the launch-at-sign-in setting).
#pragma once

#include <cstddef>

// schtasks.exe /Delete /TN "<task>" /F
// true, or false when cut (a cut command line is never run).
bool schtasks_delete_command(const char* task, char* out, size_t size);

// schtasks.exe /Change /TN "<task>" /TR "\"<program>\" <arguments>" /ENABLE
bool schtasks_change_command(const char* task, const char* program, const char* arguments, char* out, size_t size);
