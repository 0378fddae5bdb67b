#include "telemetry/retry_after.h"

#include <cstring>

namespace {

int read_digits(const char** p, int count, unsigned* value) {
  *value = 0;
  for (int i = 0; i < count; ++i, ++*p) {
    if (**p < '0' || **p > '9') return -1;
    *value = *value * 10 + static_cast<unsigned>(**p - '0');
  }
  return 0;
}

int expect(const char** p, const char* text) {
  size_t n = strlen(text);
  if (strncmp(*p, text, n) != 0) return -1;
  *p += n;
  return 0;
}

int month_number(const char** p, unsigned* month) {
  static const char* const names[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                      "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  for (unsigned i = 0; i < 12; ++i)
    if (strncmp(*p, names[i], 3) == 0) {
      *month = i + 1;
      *p += 3;
      return 0;
    }
  return -1;
}

// Days from 1970-01-01 to a civil date (proleptic Gregorian).
int64_t days_from_civil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  int64_t era = (y >= 0 ? y : y - 399) / 400;
  int64_t yoe = y - era * 400;
  int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// "Wed, 21 Oct 2026 07:28:00 GMT" (the one form servers send today) as Unix seconds.
int http_date_unix(const char* p, int64_t* out) {
  unsigned day, month, year, hour, minute, second;
  p += 3;  // the day's name is not checked: the date itself says which day it is
  if (expect(&p, ", ") || read_digits(&p, 2, &day) || expect(&p, " ") || month_number(&p, &month) ||
      expect(&p, " ") || read_digits(&p, 4, &year) || expect(&p, " ") || read_digits(&p, 2, &hour) ||
      expect(&p, ":") || read_digits(&p, 2, &minute) || expect(&p, ":") || read_digits(&p, 2, &second) ||
      expect(&p, " GMT"))
    return -1;
  if (day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60) return -1;
  *out = days_from_civil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second;
  return 0;
}

}  // namespace

int retry_after_seconds(const char* value, uint64_t now_unix, uint64_t* seconds) {
  *seconds = 0;
  if (!value) return -1;
  while (*value == ' ' || *value == '\t') ++value;
  if (*value >= '0' && *value <= '9') {
    uint64_t total = 0;
    for (; *value >= '0' && *value <= '9'; ++value) {
      total = total * 10 + static_cast<uint64_t>(*value - '0');
      if (total > UINT32_MAX) total = UINT32_MAX;  // saturates: a wait that long is capped anyway
    }
    while (*value == ' ' || *value == '\t') ++value;
    if (*value) return -1;
    *seconds = total;
    return 0;
  }
  if (strlen(value) < 29) return -1;
  int64_t when = 0;
  if (http_date_unix(value, &when) != 0) return -1;
  *seconds = when > static_cast<int64_t>(now_unix) ? static_cast<uint64_t>(when) - now_unix : 0;
  return 0;
}

uint32_t retry_after_wait_ms(uint64_t seconds, int64_t ms_left) {
  uint64_t wait = seconds >= RETRY_AFTER_CAP_MS / 1000 ? RETRY_AFTER_CAP_MS : seconds * 1000;
  if (ms_left < 0) return static_cast<uint32_t>(wait);
  int64_t room = ms_left - RETRY_AFTER_RESERVE_MS;
  if (room <= 0) return 0;
  return static_cast<uint32_t>(wait < static_cast<uint64_t>(room) ? wait : static_cast<uint64_t>(room));
}
