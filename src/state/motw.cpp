#include "state/motw.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_line_end(char c) { return c == '\0' || c == '\r' || c == '\n'; }

// Whether line starts (after blanks) with key followed by "="; returns the text after "=".
const char* after_key(const char* line, const char* key) {
  while (is_blank(*line)) ++line;
  size_t n = strlen(key);
  for (size_t i = 0; i < n; ++i)
    if (is_line_end(line[i]) || ascii_lower(line[i]) != ascii_lower(key[i])) return nullptr;
  return line[n] == '=' ? line + n + 1 : nullptr;
}

void derive_missing(const char* url, motw_result* r) {
  if (!r->found_prefix) r->found_prefix = motw_host_prefix(url, r->host_prefix, sizeof r->host_prefix);
  if (!r->found_sid) r->found_sid = motw_session_id(url, r->sid, sizeof r->sid);
  if (!r->found_domain) r->found_domain = motw_vendor_domain(url, r->host_domain, sizeof r->host_domain);
}

}  // namespace

void motw_text_from_bytes(const uint8_t* bytes, size_t count, char* out, size_t size) {
  if (!out || size == 0) return;
  size_t used = 0;
  if (count >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
    for (size_t i = 2; i + 1 < count && used < size - 1; i += 2) {
      unsigned unit = bytes[i] | bytes[i + 1] << 8;
      if (unit < 0x80) out[used++] = static_cast<char>(unit);
      else if (unit <= 0xFF) out[used++] = '?';
    }
  } else {
    size_t i = (count >= 3 && bytes[0] == 0xEF && bytes[1] == 0xBB && bytes[2] == 0xBF) ? 3 : 0;
    for (; i < count && used < size - 1; ++i) out[used++] = bytes[i] < 0x80 ? static_cast<char>(bytes[i]) : '?';
  }
  out[used] = '\0';
}

int motw_find_value(const char* text, const char* key, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  for (const char* line = text; line && *line;) {
    const char* value = after_key(line, key);
    const char* end = line;
    while (!is_line_end(*end)) ++end;
    if (value) {
      while (is_blank(*value) && value < end) ++value;
      const char* last = end;
      while (last > value && is_blank(last[-1])) --last;
      size_t n = static_cast<size_t>(last - value);
      if (n > size - 1) n = size - 1;
      memcpy(out, value, n);
      out[n] = '\0';
      return 0;
    }
    line = *end ? end + 1 : end;
  }
  return -1;
}

void motw_parse(const char* text, motw_result* r) {
  memset(r, 0, sizeof *r);
  char value[MOTW_VALUE_BUFFER];
  static const char* const KEYS[] = {"HostUrl", "ReferrerUrl"};
  for (const char* key : KEYS) {
    if (r->found_prefix && r->found_sid && r->found_domain) return;
    if (motw_find_value(text, key, value, sizeof value) == 0) derive_missing(value, r);
  }
}
