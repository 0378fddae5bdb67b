// The Zone.Identifier stream is written by whoever had the file: its text and the URLs in it
// must never overrun an output, and what comes out is only ever one of the known values.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cctype>
#include <cstring>
#include <vector>

#include "product/product.h"
#include "state/motw.h"

namespace {

int terminated(const char* field, size_t size) { return memchr(field, '\0', size) != nullptr; }

int known_domain(const char* d) {
  return !*d || !strcmp(d, VENDOR_DOMAIN_COM) || !strcmp(d, VENDOR_DOMAIN_NET) || !strcmp(d, VENDOR_DOMAIN_ORG);
}

int plausible_sid(const char* sid) {
  size_t n = strlen(sid);
  for (size_t i = 0; i < n; ++i)
    if (!std::isalnum(static_cast<unsigned char>(sid[i]))) return 0;
  return n == 0 || (n >= 8 && n <= 32);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > MOTW_READ_LIMIT) size = MOTW_READ_LIMIT;
  size_t small = size ? 1 + data[0] % 64 : 1;
  std::vector<char> cut(small, 'Z');
  motw_text_from_bytes(data, size, cut.data(), cut.size());
  if (!terminated(cut.data(), cut.size())) abort();

  static char text[MOTW_TEXT_BUFFER];
  motw_text_from_bytes(data, size, text, sizeof text);
  for (const char* p = text; *p; ++p)
    if (static_cast<unsigned char>(*p) >= 0x80) abort();
  motw_result r;
  motw_parse(text, &r);
  if (!terminated(r.host_prefix, sizeof r.host_prefix) || !terminated(r.sid, sizeof r.sid) ||
      !terminated(r.host_domain, sizeof r.host_domain))
    abort();
  if (strcmp(r.host_prefix, "") && strcmp(r.host_prefix, "dev-") && strcmp(r.host_prefix, "stage-")) abort();
  if (!known_domain(r.host_domain) || !plausible_sid(r.sid)) abort();
  // The derivations on the whole text as one "URL", with outputs just large enough.
  char prefix[8], sid[33], domain[32];
  motw_host_prefix(text, prefix, sizeof prefix);
  motw_session_id(text, sid, sizeof sid);
  motw_vendor_domain(text, domain, sizeof domain);
  return 0;
}
