// The Internet settings' connection value is written by whatever the person or a policy ran:
// reading it must never overrun a field, and what it names is read whole or not at all.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/proxy_config.h"

namespace {

int terminated(const char* field, size_t size) { return memchr(field, '\0', size) != nullptr; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  proxy_settings s;
  int result = proxy_settings_from_connection(data, size, &s);
  if (!terminated(s.server, sizeof s.server) || !terminated(s.bypass, sizeof s.bypass) ||
      !terminated(s.pac_url, sizeof s.pac_url))
    abort();
  if (result != 0 && (s.use_manual || s.use_pac || s.auto_detect || s.server[0])) abort();
  if (s.use_manual && !s.server[0]) abort();
  // The same bytes as a server list, a bypass list and a host.
  std::string text(reinterpret_cast<const char*>(data), size);
  text = text.substr(0, strlen(text.c_str()));
  char proxy[64];
  if (proxy_for_scheme(text.c_str(), "https", proxy, sizeof proxy) == 0 && !terminated(proxy, sizeof proxy)) abort();
  proxy_bypassed(text.c_str(), text.c_str());
  const char* reason = nullptr;
  if (proxy_manual_choice(&s, "http", text.c_str(), proxy, sizeof proxy, &reason) == PROXY_MANUAL_DIRECT && !reason)
    abort();
  return 0;
}
