// UTC time stamps shared by log lines and events: 2026-03-04T05:06:07.089Z.
#pragma once

#include <cstddef>
#include <cstdint>

struct utc_time_parts {
  unsigned year, month, day, hour, minute, second, millisecond;
};

constexpr size_t TIMESTAMP_BUFFER = 40;

void format_utc_timestamp(const utc_time_parts& t, char* out, size_t size);

// Whole Unix seconds of a FILETIME (100 ns ticks since 1601); a time before 1970 gives 0.
uint64_t unix_seconds_from_filetime(uint64_t filetime);

// The current UTC time (the system clock), formatted as above. Windows layer.
void utc_timestamp_ms(char* out, size_t size);
