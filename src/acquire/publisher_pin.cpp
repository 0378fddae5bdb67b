#include "acquire/publisher_pin.h"

#include <cstdio>
#include <cstring>

#include "base/bounded_text.h"

pin_verdict publisher_pin_check(const uint8_t digest[32], const char* pin_list) {
  char wanted[65];
  digest_hex(digest, wanted);
  int entries = 0;
  for (const char* p = pin_list ? pin_list : ""; *p;) {
    size_t length = strcspn(p, ";");
    if (length > 0) {
      ++entries;
      if (length == 64) {
        char entry[65];
        memcpy(entry, p, 64);
        entry[64] = '\0';
        if (text_equal_nocase(entry, wanted)) return PIN_MATCHED;
      }
    }
    p += length;
    if (*p == ';') ++p;
  }
  return entries ? PIN_NOT_LISTED : PIN_LIST_EMPTY;
}

void digest_hex(const uint8_t digest[32], char out[65]) {
  for (int i = 0; i < 32; ++i) snprintf(out + 2 * i, 3, "%02x", digest[i]);
}
