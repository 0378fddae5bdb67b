#include "base/bounded_text.h"

#include <cstdio>
#include <cstring>

bool text_copy(char* dst, size_t size, const char* src) {
  if (size == 0) return false;
  dst[0] = '\0';
  return text_append(dst, size, src);
}

bool text_append(char* dst, size_t size, const char* src) {
  if (size == 0) return false;
  size_t used = strnlen(dst, size);
  if (used >= size) {  // an unterminated field is repaired rather than overrun
    dst[size - 1] = '\0';
    return false;
  }
  if (!src) return true;
  size_t room = size - 1 - used;
  size_t len = strlen(src);
  size_t n = len < room ? len : room;
  memcpy(dst + used, src, n);
  dst[used + n] = '\0';
  return n == len;
}

bool text_vformat(char* dst, size_t size, const char* fmt, va_list args) {
  if (size == 0) return false;
  int n = vsnprintf(dst, size, fmt, args);
  if (n < 0) {
    dst[0] = '\0';
    return false;
  }
  return static_cast<size_t>(n) < size;
}

bool text_format(char* dst, size_t size, const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  int ok = text_vformat(dst, size, fmt, args);
  va_end(args);
  return ok;
}

char ascii_lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

void text_lower_ascii(char* s) {
  for (; s && *s; ++s) *s = ascii_lower(*s);
}

bool text_equal_nocase(const char* a, const char* b) {
  if (!a || !b) return false;
  for (; *a && *b; ++a, ++b)
    if (ascii_lower(*a) != ascii_lower(*b)) return false;
  return *a == *b;
}

bool text_ends_with_nocase(const char* s, const char* suffix) {
  if (!s || !suffix) return false;
  size_t ls = strlen(s), lx = strlen(suffix);
  return ls >= lx && text_equal_nocase(s + ls - lx, suffix);
}
