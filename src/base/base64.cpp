#include "base/base64.h"

namespace {

int sextet(char c) {
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= 'a' && c <= 'z') return c - 'a' + 26;
  if (c >= '0' && c <= '9') return c - '0' + 52;
  if (c == '+') return 62;
  if (c == '/') return 63;
  if (c == '=') return 0;
  return -1;
}

}  // namespace

size_t base64_decode(const char* text, char* out, size_t size) {
  if (!out || size == 0) return 0;
  size_t written = 0;
  unsigned bits = 0, pending = 0;
  for (const char* p = text; p && *p && written < size - 1; ++p) {
    int value = sextet(*p);
    if (value < 0) continue;
    bits = ((bits << 6) | static_cast<unsigned>(value)) & 0xFFF;
    pending += 6;
    if (pending >= 8) {
      pending -= 8;
      out[written++] = static_cast<char>((bits >> pending) & 0xFF);
    }
  }
  out[written] = '\0';
  return written;
}
