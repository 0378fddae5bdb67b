#include "telemetry/timestamp.h"

#include "app/bounded_text.h"

void format_utc_timestamp(const utc_time_parts& t, char* out, size_t size) {
  text_format(out, size, "%04u-%02u-%02uT%02u:%02u:%02u.%03uZ", t.year, t.month, t.day, t.hour, t.minute,
              t.second, t.millisecond);
}
