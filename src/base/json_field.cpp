#include "base/json_field.h"

#include <cstring>

namespace {

// Copies the quoted text at *p (just past its opening quote) into out, dropping escape
// backslashes, and leaves *p past the closing quote (or at the end of the text). Bytes that do
// not fit are skipped, not copied.
void copy_quoted(const char** p, char* out, size_t size) {
  const char* s = *p;
  size_t used = 0;
  while (*s && *s != '"') {
    if (*s == '\\' && s[1]) ++s;
    if (used + 1 < size) out[used++] = *s;
    ++s;
  }
  if (*s == '"') ++s;
  out[used] = '\0';
  *p = s;
}

bool starts_with(const char* text, const char* word) { return strncmp(text, word, strlen(word)) == 0; }

}  // namespace

const char* json_value_after_key(const char* text, const char* key) {
  if (!text || !key) return nullptr;
  size_t key_len = strlen(key);
  for (const char* p = strchr(text, '"'); p; p = strchr(p + 1, '"')) {
    if (strncmp(p + 1, key, key_len) != 0 || p[1 + key_len] != '"') continue;
    const char* v = p + key_len + 2;
    while (*v == ' ' || *v == '\t' || *v == ':') ++v;
    return v;
  }
  return nullptr;
}

int json_string_field(const char* text, const char* key, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  const char* v = json_value_after_key(text, key);
  if (!v || *v != '"') return -1;
  ++v;
  const char* end = strchr(v, '"');
  if (!end) return -1;  // an unterminated value is malformed input, not a value
  size_t n = static_cast<size_t>(end - v);
  if (n > size - 1) n = size - 1;
  memcpy(out, v, n);
  out[n] = '\0';
  return 0;
}

bool json_get_string(const char* text, const char* key, char* out, size_t size) {
  if (!out || size == 0) return false;
  out[0] = '\0';
  const char* v = json_value_after_key(text, key);
  if (!v || *v != '"') return false;
  ++v;
  copy_quoted(&v, out, size);
  return true;
}

int32_t json_get_id(const char* text) {
  const char* v = json_value_after_key(text, "id");
  if (!v) return -1;
  while (*v == ' ' || *v == '\t' || *v == '\r' || *v == '\n') ++v;
  int negative = *v == '-';
  if (*v == '-' || *v == '+') ++v;
  int64_t value = 0;
  for (; *v >= '0' && *v <= '9'; ++v)
    if (value <= INT32_MAX) value = value * 10 + (*v - '0');
  if (value > INT32_MAX) value = INT32_MAX;
  return static_cast<int32_t>(negative ? -value : value);
}

bool json_get_bool(const char* text, const char* key) {
  const char* v = json_value_after_key(text, key);
  return v && (*v == 't' || *v == 'T');
}

int json_get_tristate(const char* text, const char* key) {
  const char* v = json_value_after_key(text, key);
  if (!v) return -1;
  if (starts_with(v, "true")) return 1;
  return starts_with(v, "false") ? 0 : -1;
}

const char* json_next_array_string(const char* text, const char* key, const char* cursor, char* out, size_t size) {
  if (!out || size == 0) return nullptr;
  out[0] = '\0';
  const char* p = cursor;
  if (!p) {
    p = json_value_after_key(text, key);
    if (!p || *p != '[') return nullptr;
    ++p;
  }
  while (*p == '\t' || *p == '\n' || *p == '\r' || *p == ' ' || *p == ',') ++p;
  if (*p != '"') return nullptr;
  ++p;
  copy_quoted(&p, out, size);
  return p;
}
