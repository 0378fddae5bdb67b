#include "telemetry/json_escape.h"

#include <cstdio>
#include <cstring>

#include "base/bounded_text.h"

namespace {

// Length of the valid UTF-8 sequence at p (1-4), or 0 when the bytes are not one.
size_t utf8_sequence(const unsigned char* p) {
  unsigned char c = p[0];
  size_t n;
  unsigned min;
  if (c < 0x80) return 1;
  if (c >= 0xC2 && c <= 0xDF) { n = 2; min = 0x80; }
  else if (c >= 0xE0 && c <= 0xEF) { n = 3; min = 0x800; }
  else if (c >= 0xF0 && c <= 0xF4) { n = 4; min = 0x10000; }
  else return 0;
  unsigned code = c & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((p[i] & 0xC0) != 0x80) return 0;
    code = (code << 6) | (p[i] & 0x3F);
  }
  if (code < min || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
  return n;
}

}  // namespace

size_t json_escape(char* out, size_t size, const char* in) {
  if (!out || size == 0) return 0;
  size_t used = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(in ? in : "");
  while (*p) {
    char piece[8];
    size_t take = utf8_sequence(p), len;
    if (take == 0) {
      piece[0] = '?';
      len = 1;
      take = 1;
    } else if (*p == '"' || *p == '\\') {
      piece[0] = '\\';
      piece[1] = static_cast<char>(*p);
      len = 2;
    } else if (*p < 0x20 || *p == 0x7F) {
      len = static_cast<size_t>(snprintf(piece, sizeof piece, "\\u%04x", *p));
    } else {
      memcpy(piece, p, take);
      len = take;
    }
    if (used + len > size - 1) break;
    memcpy(out + used, piece, len);
    used += len;
    p += take;
  }
  out[used] = '\0';
  return used;
}

bool json_append_whole(char* out, size_t size, const char* piece) {
  size_t used = strnlen(out, size), len = strlen(piece);
  if (used >= size || len > size - 1 - used) return false;
  memcpy(out + used, piece, len + 1);
  return true;
}

bool json_append_string_member(char* out, size_t size, const char* key, const char* value, size_t limit, int first) {
  char escaped[JSON_MEMBER_VALUE_MAX];
  json_escape(escaped, limit < sizeof escaped ? limit : sizeof escaped, value);
  char piece[JSON_MEMBER_VALUE_MAX + 64];
  if (!text_format(piece, sizeof piece, "%s\"%s\":\"%s\"", first ? "" : ",", key, escaped)) return false;
  return json_append_whole(out, size, piece);
}
