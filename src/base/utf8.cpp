#include "base/utf8.h"

#include <cstdint>

namespace {

constexpr uint32_t REPLACEMENT = 0xFFFD;

bool is_high(char16_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool is_low(char16_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// The code point at p and how many units it takes; a lone surrogate is U+FFFD.
uint32_t next_code_point(const char16_t* p, int* units) {
  if (is_high(p[0]) && is_low(p[1])) {
    *units = 2;
    return 0x10000 + ((static_cast<uint32_t>(p[0]) - 0xD800) << 10) + (static_cast<uint32_t>(p[1]) - 0xDC00);
  }
  *units = 1;
  return (is_high(p[0]) || is_low(p[0])) ? REPLACEMENT : p[0];
}

int encode(uint32_t code, char* piece) {
  if (code < 0x80) {
    piece[0] = static_cast<char>(code);
    return 1;
  }
  if (code < 0x800) {
    piece[0] = static_cast<char>(0xC0 | (code >> 6));
    piece[1] = static_cast<char>(0x80 | (code & 0x3F));
    return 2;
  }
  if (code < 0x10000) {
    piece[0] = static_cast<char>(0xE0 | (code >> 12));
    piece[1] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    piece[2] = static_cast<char>(0x80 | (code & 0x3F));
    return 3;
  }
  piece[0] = static_cast<char>(0xF0 | (code >> 18));
  piece[1] = static_cast<char>(0x80 | ((code >> 12) & 0x3F));
  piece[2] = static_cast<char>(0x80 | ((code >> 6) & 0x3F));
  piece[3] = static_cast<char>(0x80 | (code & 0x3F));
  return 4;
}

}  // namespace

int utf8_from_utf16(const char16_t* text, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  if (!text) return -1;
  size_t used = 0;
  int cut = 0;
  for (const char16_t* p = text; *p;) {
    int units = 1;
    char piece[4];
    int n = encode(next_code_point(p, &units), piece);
    if (used + static_cast<size_t>(n) >= size) {
      cut = 1;
      break;
    }
    for (int i = 0; i < n; ++i) out[used++] = piece[i];
    p += units;
  }
  out[used] = '\0';
  return cut;
}
