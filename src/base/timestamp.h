// Time as the program writes it: UTC time stamps of log lines and events
// (2026-03-04T05:06:07.089Z), Unix seconds of a FILETIME, and the local date of file names.
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

// Windows layer: the current UTC time (the system clock) formatted as above, the current
// time in Unix seconds, and today's local date as eight digits, YYYYMMDD.
void utc_timestamp_ms(char* out, size_t size);
uint64_t unix_seconds_now();
void local_date_stamp(char* out, size_t size);
