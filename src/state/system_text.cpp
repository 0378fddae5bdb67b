#include "state/system_text.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

struct browser_row {
  const char* needle;
  const char* name;
};

// Order matters: the first substring found names the browser.
const browser_row BROWSERS[] = {
    {"chrome", "Chrome"}, {"firefox", "Firefox"}, {"msedge", "Edge"},     {"opera", "Opera"},
    {"brave", "Brave"},   {"vivaldi", "Vivaldi"}, {"safari", "Safari"},   {"ie.", "Internet Explorer"},
    {"ie\\", "Internet Explorer"},
};

}  // namespace

int32_t timezone_bias(int32_t bias, int32_t standard_bias, int32_t daylight_bias, uint32_t result) {
  if (result == TIME_ZONE_RESULT_DAYLIGHT) return bias + daylight_bias;
  if (result == TIME_ZONE_RESULT_STANDARD) return bias + standard_bias;
  return bias;
}

void timezone_text(int32_t bias_minutes, const char* zone_name, char* out, size_t size) {
  // The bias counts minutes west of UTC, so a positive bias is a negative offset; the sign is
  // written explicitly so that offsets under one hour keep it too (a bias of 30 is UTC-0:30).
  int64_t bias = bias_minutes;
  int64_t magnitude = bias < 0 ? -bias : bias;
  char offset[32];
  text_format(offset, sizeof offset, "UTC%s%d:%02d", bias > 0 ? "-" : "+", static_cast<int>(magnitude / 60),
              static_cast<int>(magnitude % 60));
  if (zone_name && *zone_name) text_format(out, size, "%s (%s)", offset, zone_name);
  else text_copy(out, size, offset);
}

void browser_from_progid(const char* progid, char* out, size_t size) {
  char lower[128];
  text_copy(lower, progid);
  text_lower_ascii(lower);
  for (const browser_row& row : BROWSERS) {
    if (strstr(lower, row.needle)) {
      text_copy(out, size, row.name);
      return;
    }
  }
  text_copy(out, size, lower);
}

void unix_date_text(uint32_t unix_seconds, char* out, size_t size) {
  if (unix_seconds == 0) {
    text_copy(out, size, "");
    return;
  }
  // Days since 1970 to a proleptic Gregorian date (era-based civil-from-days).
  int64_t z = unix_seconds / 86400 + 719468;
  int64_t era = z / 146097;
  int64_t doe = z - era * 146097;
  int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  int64_t mp = (5 * doy + 2) / 153;
  int day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  int year = static_cast<int>(yoe + era * 400 + (month <= 2 ? 1 : 0));
  text_format(out, size, "%04d-%02d-%02d", year, month, day);
}

bool append_listed_name(char* list, size_t size, const char* name) {
  if (!name || !*name || size == 0) return false;
  size_t used = strnlen(list, size);
  size_t needed = (used ? 2 : 0) + strlen(name);
  if (used >= size || needed > size - 1 - used) return false;
  if (used) text_append(list, size, ", ");
  text_append(list, size, name);
  return true;
}
