#include <windows.h>

#include "telemetry/timestamp.h"

void utc_timestamp_ms(char* out, size_t size) {
  SYSTEMTIME now;
  GetSystemTime(&now);
  utc_time_parts parts{now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, now.wMilliseconds};
  format_utc_timestamp(parts, out, size);
}
