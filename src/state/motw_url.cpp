// The three things a download URL tells: the download host's channel, the session the
// download page opened, and which of the vendor's domain variants served it.
#include <cstring>

#include "base/bounded_text.h"
#include "product/product.h"
#include "state/motw.h"

namespace {

constexpr size_t HOST_MAX = 127;
const char* const VENDOR_DOMAINS[] = {VENDOR_DOMAIN_COM, VENDOR_DOMAIN_NET, VENDOR_DOMAIN_ORG};

bool is_alnum(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// The host part after "://": up to "/", "?", "#" or the end; 0 when it does not fit.
bool host_after_scheme(const char* scheme_end, char* host, size_t size) {
  size_t n = strcspn(scheme_end, "/?#");
  if (n == 0 || n > HOST_MAX || n >= size) return false;
  memcpy(host, scheme_end, n);
  host[n] = '\0';
  text_lower_ascii(host);
  return true;
}

// ".corvane": a dot and the vendor domain without its top-level part.
void vendor_name_pattern(char* out, size_t size) {
  text_format(out, size, ".%s", VENDOR_DOMAIN_COM);
  char* tld = strrchr(out + 1, '.');
  if (tld) *tld = '\0';
}

bool found(char* out, size_t size, const char* value) {
  text_copy(out, size, value);
  return true;
}

bool starts_with_nocase(const char* s, const char* prefix) {
  for (; *prefix; ++s, ++prefix)
    if (ascii_lower(*s) != ascii_lower(*prefix)) return false;
  return true;
}

// The URL's host made plain: no user information, no port, no trailing dots; 0 when unusable.
bool plain_host(const char* url, char* host, size_t size) {
  const char* rest;
  if (starts_with_nocase(url, "http://")) rest = url + 7;
  else if (starts_with_nocase(url, "https://")) rest = url + 8;
  else return false;
  char raw[MOTW_VALUE_BUFFER];
  size_t n = strcspn(rest, "/?#");
  if (n >= sizeof raw) return false;
  memcpy(raw, rest, n);
  raw[n] = '\0';
  char* user_end = strchr(raw, '@');
  char* start = user_end ? user_end + 1 : raw;
  if (*start == '[') return false;
  char* port = strchr(start, ':');
  if (port) *port = '\0';
  size_t len = strlen(start);
  while (len > 0 && start[len - 1] == '.') --len;
  if (len == 0 || len > HOST_MAX || len >= size) return false;
  memcpy(host, start, len);
  host[len] = '\0';
  if (strpbrk(host, "\t #*/:?@\\")) return false;
  text_lower_ascii(host);
  return true;
}

}  // namespace

bool motw_host_prefix(const char* url, char* out, size_t size) {
  const char* scheme = strstr(url, "://");
  char host[HOST_MAX + 1];
  if (!scheme || !host_after_scheme(scheme + 3, host, sizeof host)) return false;
  if (!text_ends_with_nocase(host, ".com") && !text_ends_with_nocase(host, ".net") &&
      !text_ends_with_nocase(host, ".org"))
    return false;
  char pattern[64];
  vendor_name_pattern(pattern, sizeof pattern);
  const char* at = host[0] ? strstr(host + 1, pattern) : nullptr;
  if (!at) return false;
  host[at - host] = '\0';
  if (strcmp(host, "download") == 0) return found(out, size, "");
  if (strcmp(host, "dev-download") == 0) return found(out, size, "dev-");
  if (strcmp(host, "stage-download") == 0) return found(out, size, "stage-");
  return false;
}

bool motw_session_id(const char* url, char* out, size_t size) {
  for (const char* s = strchr(url, 's'); s; s = strchr(s + 1, 's')) {
    if (s == url || (s[-1] != '?' && s[-1] != '&') || s[1] != '=') continue;
    const char* id = s + 2;
    size_t n = 0;
    while (is_alnum(id[n])) ++n;
    if (n < 8 || n > 32 || !strchr("\t\r\n #&", id[n])) continue;  // strchr also accepts the NUL
    if (n >= size) return false;
    memcpy(out, id, n);
    out[n] = '\0';
    return true;
  }
  return false;
}

bool motw_vendor_domain(const char* url, char* out, size_t size) {
  char host[HOST_MAX + 1];
  if (!plain_host(url, host, sizeof host)) return false;
  for (const char* variant : VENDOR_DOMAINS) {
    size_t h = strlen(host), v = strlen(variant);
    int same = text_equal_nocase(host, variant);
    int below = h > v && host[h - v - 1] == '.' && text_equal_nocase(host + h - v, variant);
    if (same || below) return found(out, size, variant);
  }
  return false;
}
