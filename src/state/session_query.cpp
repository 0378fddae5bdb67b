#include "state/session_query.h"

#include <cstring>

#include "base/bounded_text.h"
#include "product/product.h"
#include "product/vendor_domain.h"

namespace {

bool is_alnum(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); }

bool is_unreserved(char c) { return is_alnum(c) || c == '-' || c == '_' || c == '.' || c == '~'; }

}  // namespace

void query_append(char* path, const char* key, const char* value, int* first) {
  if (!value || !*value || !key) return;
  size_t path_len = strnlen(path, SESSION_PATH_SIZE), key_len = strlen(key), value_len = strlen(value);
  if (path_len + key_len + 2 + 3 * value_len > SESSION_PATH_SIZE - 1) return;
  static const char hex[] = "0123456789ABCDEF";
  char* p = path + path_len;
  *p++ = *first ? '?' : '&';
  memcpy(p, key, key_len);
  p += key_len;
  *p++ = '=';
  for (const unsigned char* v = reinterpret_cast<const unsigned char*>(value); *v; ++v) {
    if (is_unreserved(static_cast<char>(*v))) {
      *p++ = static_cast<char>(*v);
    } else {
      *p++ = '%';
      *p++ = hex[*v >> 4];
      *p++ = hex[*v & 15];
    }
  }
  *p = '\0';
  *first = 0;
}

bool session_sid_usable(const char* sid) {
  size_t n = 0;
  for (; sid && sid[n]; ++n)
    if (!is_alnum(sid[n]) || n >= 32) return false;
  return n >= 8;
}

void session_fetch_host(const char* motw_prefix, const char* motw_domain, char* out, size_t size) {
  const char* domain = is_alternate_vendor_domain(motw_domain) ? motw_domain : VENDOR_DOMAIN_COM;
  text_format(out, size, "%sdownload.%s", motw_prefix ? motw_prefix : "", domain);
}

void session_fetch_path(const char* sid, const char* user_id, const char* os_name, char* out) {
  text_copy(out, SESSION_PATH_SIZE, "/v1/session-data");
  int first = 1;
  if (session_sid_usable(sid)) query_append(out, "s", sid, &first);
  if (user_id) query_append(out, "user_id", user_id, &first);
  query_append(out, "os_name", os_name, &first);
}
