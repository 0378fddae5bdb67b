#include "base/timestamp.h"

#include "base/bounded_text.h"

uint64_t unix_seconds_from_filetime(uint64_t filetime) {
  constexpr uint64_t TICKS_PER_SECOND = 10000000;
  constexpr uint64_t UNIX_EPOCH_IN_FILETIME_SECONDS = 11644473600;
  uint64_t seconds_1601 = filetime / TICKS_PER_SECOND;
  return seconds_1601 > UNIX_EPOCH_IN_FILETIME_SECONDS ? seconds_1601 - UNIX_EPOCH_IN_FILETIME_SECONDS : 0;
}

void format_utc_timestamp(const utc_time_parts& t, char* out, size_t size) {
  text_format(out, size, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.year, t.month, t.day, t.hour, t.minute,
              t.second, t.millisecond);
}
