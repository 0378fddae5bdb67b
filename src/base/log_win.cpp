#include <windows.h>

#include <cstdarg>

#include "base/bounded_text.h"
#include "base/folders_win.h"
#include "base/log.h"
#include "base/timestamp.h"
#include "base/unlinked_file_win.h"
#include "base/wide_win.h"

namespace {

struct log_channel {
  HANDLE file;
  char component[32];
};

log_channel g_channels[2] = {{INVALID_HANDLE_VALUE, "Installer"}, {INVALID_HANDLE_VALUE, "InstallerUI"}};
int g_min_level = LOG_LEVEL_INFO;
CRITICAL_SECTION g_lock;
INIT_ONCE g_lock_once = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK init_lock(PINIT_ONCE, PVOID, PVOID*) {
  InitializeCriticalSection(&g_lock);
  return TRUE;
}

void ensure_lock() { InitOnceExecuteOnce(&g_lock_once, init_lock, nullptr, nullptr); }

bool valid_channel(int channel) { return channel == LOG_MAIN || channel == LOG_UI; }

// The raw open: append-only, shared, created when missing, and never through a link planted
// under the name (ERROR_CANT_ACCESS_FILE). Returns the error on failure, the channel's file
// unchanged. Other threads write while the main thread opens the log again under its final
// name: the handle is swapped under the lock, and the old one closed once no writer holds it.
DWORD raw_open(int channel, const char* path, const char* component) {
  ensure_lock();
  wchar_t wide[MAX_PATH];
  if (utf8_to_wide(path, wide, MAX_PATH) != 0) return ERROR_INVALID_NAME;
  HANDLE h = open_unlinked_file(wide, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_ALWAYS);
  if (h == INVALID_HANDLE_VALUE) return GetLastError();
  EnterCriticalSection(&g_lock);
  HANDLE old = g_channels[channel].file;
  g_channels[channel].file = h;
  if (component && *component) text_copy(g_channels[channel].component, component);
  LeaveCriticalSection(&g_lock);
  if (old != INVALID_HANDLE_VALUE) CloseHandle(old);
  return ERROR_SUCCESS;
}

// The channel's file is read under the lock: a handle another thread just swapped and closed
// may already name something else.
void write_line(int channel, const char* line) {
  DWORD written = 0;
  EnterCriticalSection(&g_lock);
  HANDLE file = g_channels[channel].file;
  if (file != INVALID_HANDLE_VALUE) {
    if (*line) WriteFile(file, line, static_cast<DWORD>(strlen(line)), &written, nullptr);
    WriteFile(file, "\r\n", 2, &written, nullptr);
  }
  LeaveCriticalSection(&g_lock);
}

}  // namespace

void log_open(int channel, const char* path, const char* component) {
  if (!valid_channel(channel) || !path || !*path) return;
  if (channel == LOG_MAIN) g_min_level = LOG_LEVEL_INFO;
  DWORD first_error = raw_open(channel, path, component);
  if (first_error == ERROR_SUCCESS) return;

  char temp[MAX_PATH + 1];
  if (temp_folder(temp, sizeof temp) != 0) return;
  char fallback[MAX_PATH];
  // A name taken by a link gets a name of this process's own beside it, even in the temp folder.
  if (first_error == ERROR_CANT_ACCESS_FILE
          ? log_link_fallback_path(temp, path, GetCurrentProcessId(), fallback, sizeof fallback) != 0
          : log_fallback_path(temp, path, fallback, sizeof fallback) != 0)
    return;

  char debug_line[1024];
  text_format(debug_line, sizeof debug_line, "[Corvane] Log open failed: '%s' (GLE=%lu) - falling back to '%s'\n",
              path, first_error, fallback);
  OutputDebugStringA(debug_line);

  DWORD second_error = raw_open(channel, fallback, component);
  if (second_error == ERROR_SUCCESS) {
    log_write(channel, LOG_LEVEL_WARN, "Primary log path '%s' unwritable (GLE=%lu); fell back to '%s'", path,
              first_error, fallback);
    return;
  }
  text_format(debug_line, sizeof debug_line, "[Corvane] Fallback log open ALSO failed: '%s' (GLE=%lu) - running logless\n",
              fallback, second_error);
  OutputDebugStringA(debug_line);
}

void log_close(int channel) {
  if (!valid_channel(channel) || g_channels[channel].file == INVALID_HANDLE_VALUE) return;
  ensure_lock();
  EnterCriticalSection(&g_lock);
  HANDLE file = g_channels[channel].file;
  g_channels[channel].file = INVALID_HANDLE_VALUE;
  LeaveCriticalSection(&g_lock);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool log_is_open(int channel) { return valid_channel(channel) && g_channels[channel].file != INVALID_HANDLE_VALUE; }

void log_set_min_level(int level) { g_min_level = level; }

const char* log_main_component() { return g_channels[LOG_MAIN].component; }

int log_write(int channel, int level, const char* fmt, ...) {
  if (level < g_min_level) return 0;
  if (!log_is_open(channel)) return -1;
  ensure_lock();
  char message[LOG_MESSAGE_MAX + 1];
  va_list args;
  va_start(args, fmt);
  text_vformat(message, sizeof message, fmt, args);
  va_end(args);
  char stamp[TIMESTAMP_BUFFER];
  utc_timestamp_ms(stamp, sizeof stamp);
  char line[LOG_LINE_MAX + 1];
  log_format_line(line, sizeof line, stamp, level, g_channels[channel].component, message);
  write_line(channel, line);
  return 0;
}

void log_write_error_details(const char* message, const char* details) {
  if (!log_is_open(LOG_MAIN)) return;
  ensure_lock();
  char stamp[TIMESTAMP_BUFFER];
  utc_timestamp_ms(stamp, sizeof stamp);
  char line[LOG_ERROR_LINE_MAX + 1];
  log_format_error_line(line, sizeof line, stamp, g_channels[LOG_MAIN].component, message, details);
  write_line(LOG_MAIN, line);
}

void log_dated_path(const char* stem, char* out, unsigned size) {
  char temp[MAX_PATH + 1];
  char date[16];
  if (temp_folder(temp, sizeof temp) != 0) {
    if (size) out[0] = '\0';
    return;
  }
  local_date_stamp(date, sizeof date);
  text_format(out, size < MAX_PATH ? size : MAX_PATH, "%s%s-%s.log", temp, stem, date);
}
