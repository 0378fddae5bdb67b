#include "base/uuid.h"

#include "base/timestamp.h"

namespace {

constexpr char HEX[] = "0123456789abcdef";

char* put_hex(char* p, uint32_t value, int digits) {
  for (int shift = 4 * (digits - 1); shift >= 0; shift -= 4) *p++ = HEX[(value >> shift) & 0xF];
  return p;
}

}  // namespace

uuid_v8_time uuid_v8_time_from_filetime(uint64_t filetime) {
  uint64_t unix_seconds = unix_seconds_from_filetime(filetime);
  uint64_t since_epoch = unix_seconds > UUID_V8_EPOCH_UNIX ? unix_seconds - UUID_V8_EPOCH_UNIX : 0;
  return {static_cast<uint32_t>(since_epoch >> 12), static_cast<uint16_t>(since_epoch & 0xFFF)};
}

void uuid_v8_layout(char* out, uint32_t time_high, uint16_t time_low, const uint8_t random[UUID_V8_RANDOM_BYTES]) {
  char* p = put_hex(out, time_high, 8);
  *p++ = '-';
  p = put_hex(p, time_low & 0xFFF, 3);
  *p++ = '1';  // source marker: generator 1
  *p++ = '-';
  *p++ = '8';  // version
  p = put_hex(p, random[1], 2);
  *p++ = HEX[random[2] >> 4];
  *p++ = '-';
  *p++ = HEX[8 + (random[0] & 0x3)];  // RFC variant bits
  *p++ = HEX[random[2] & 0xF];
  p = put_hex(p, random[3], 2);
  *p++ = '-';
  for (int i = 4; i < 10; ++i) p = put_hex(p, random[i], 2);
  *p = '\0';
}
