#include "acquire/download_limit.h"

int content_length_value(const char* text, uint64_t* length) {
  if (!text || !*text) return -1;
  uint64_t value = 0;
  for (const char* c = text; *c; ++c) {
    if (*c < '0' || *c > '9') return -1;
    uint64_t digit = static_cast<uint64_t>(*c - '0');
    value = value > (UINT64_MAX - digit) / 10 ? UINT64_MAX : value * 10 + digit;
  }
  *length = value;
  return 0;
}
