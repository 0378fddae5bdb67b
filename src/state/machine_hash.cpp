#include "state/machine_hash.h"

void hex_upper(const uint8_t* bytes, size_t count, char* out, size_t size) {
  if (!out || size == 0) return;
  static const char DIGITS[] = "0123456789ABCDEF";
  size_t used = 0;
  for (size_t i = 0; i < count && used + 2 < size; ++i) {
    out[used++] = DIGITS[bytes[i] >> 4];
    out[used++] = DIGITS[bytes[i] & 0xF];
  }
  out[used] = '\0';
}
