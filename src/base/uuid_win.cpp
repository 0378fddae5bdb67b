#include <windows.h>
#include <bcrypt.h>
#include <objbase.h>

#include <cstdio>

#include "base/uuid.h"

int uuid_v8_build(char* out, uint32_t time_high, uint16_t time_low) {
  uint8_t random[UUID_V8_RANDOM_BYTES];
  if (!BCRYPT_SUCCESS(BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) return -1;
  uuid_v8_layout(out, time_high, time_low, random);
  // The random part is what makes the identifier unguessable; leave no copy behind.
  SecureZeroMemory(random, sizeof random);
  return 0;
}

int uuid_v8_new(char* out) {
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  uint64_t ticks = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  uuid_v8_time parts = uuid_v8_time_from_filetime(ticks);
  return uuid_v8_build(out, parts.high, parts.low);
}

void guid_string_new(char* out) {
  GUID guid;
  if (FAILED(CoCreateGuid(&guid))) return;
  snprintf(out, UUID_TEXT_BUFFER, "%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x",
           static_cast<unsigned long>(guid.Data1), guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1],
           guid.Data4[2], guid.Data4[3], guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
}
