#include <windows.h>

#include "base/bounded_text.h"
#include "base/timestamp.h"

void utc_timestamp_ms(char* out, size_t size) {
  SYSTEMTIME now;
  GetSystemTime(&now);
  utc_time_parts parts{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  format_utc_timestamp(parts, out, size);
}

uint64_t unix_seconds_now() {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  return unix_seconds_from_filetime((static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime);
}

void local_date_stamp(char* out, size_t size) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  text_format(out, size, "%04d%02d%02d", now.wYear, now.wMonth, now.wDay);
}
