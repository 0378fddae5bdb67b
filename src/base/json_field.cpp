#include "base/json_field.h"

#include <cstring>

int json_string_field(const char* text, const char* key, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  if (!text || !key) return -1;
  size_t key_len = strlen(key);
  for (const char* p = strchr(text, '"'); p; p = strchr(p + 1, '"')) {
    if (strncmp(p + 1, key, key_len) != 0 || p[1 + key_len] != '"') continue;
    const char* v = p + key_len + 2;
    while (*v == ' ' || *v == '\t' || *v == ':') ++v;
    if (*v != '"') return -1;
    ++v;
    const char* end = strchr(v, '"');
    if (!end) return -1;  // an unterminated value is malformed input, not a value
    size_t n = static_cast<size_t>(end - v);
    if (n > size - 1) n = size - 1;
    memcpy(out, v, n);
    out[n] = '\0';
    return 0;
  }
  return -1;
}
