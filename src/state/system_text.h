// The probes' texts that are more than a number: time zone, default browser, Windows install
// date and the antivirus list. Pure functions of what the system reports.
#pragma once

#include <cstddef>
#include <cstdint>

// GetTimeZoneInformation's result code picks which extra bias applies.
constexpr uint32_t TIME_ZONE_RESULT_STANDARD = 1;
constexpr uint32_t TIME_ZONE_RESULT_DAYLIGHT = 2;

// Minutes west of UTC in effect now.
int32_t timezone_bias(int32_t bias, int32_t standard_bias, int32_t daylight_bias, uint32_t result);

// "UTC+5:30 (India Standard Time)", or the offset text alone when the name is empty.
void timezone_text(int32_t bias_minutes, const char* zone_name, char* out, size_t size);

// The default browser's name from the https UserChoice ProgId; the lower-cased ProgId when
// no known browser matches.
void browser_from_progid(const char* progid, char* out, size_t size);

// A Unix time in seconds as its UTC date "YYYY-MM-DD"; empty for 0.
void unix_date_text(uint32_t unix_seconds, char* out, size_t size);

// Appends a name to a ", "-separated list only when it fits whole; true when appended.
bool append_listed_name(char* list, size_t size, const char* name);
