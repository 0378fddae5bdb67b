// Outside values that choose a download host or a file name. The tag block sits outside what
// the signature covers, and the registry and the session worker's answer are outside input
// too, so their host prefix and product version are taken only in the forms the vendor
// issues; anything else is refused and the run goes on as if the source had not named it.
// (The Mark of the Web derives its prefix from an allow-list of its own.)
#pragma once

#include <cstddef>

// "" (production), "dev-", "stage-", and "local-", which the build rule turns into "dev-".
bool host_prefix_acceptable(const char* value);

// Digits and dots, at least one character, and short enough for a field of field_size bytes
// whole: a version is part of the package's file name, so it is never cut.
bool app_version_acceptable(const char* value, size_t field_size);

constexpr size_t REFUSED_VALUE_TEXT = 80;

// A value one source named and the program refused, as the warning shows it.
struct attribution_refusal {
  const char* key;                 // "host_prefix" or "app_version"
  char value[REFUSED_VALUE_TEXT];  // escaped and bounded (refused_value_text)
};

// What one source had refused; each guarded key appears at most once per source.
struct attribution_refusals {
  int count;
  attribution_refusal items[2];
};

// Whether the value a source names for key may go into a field of field_size bytes. Only
// "host_prefix" and "app_version" are guarded (other keys: true). A refusal is added to refused.
bool attribution_value_accepted(const char* key, const char* value, size_t field_size,
                                attribution_refusals* refused);

// The value for a log line: printable ASCII stays (but '"' and '\' become \xNN like every other
// byte), at most 48 characters of it, then "...".
void refused_value_text(const char* value, char* out, size_t size);
