#include "base/proxy_config.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

constexpr uint32_t FLAG_PROXY = 0x2, FLAG_PAC = 0x4, FLAG_AUTO_DETECT = 0x8;

uint32_t read_u32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

// One length-prefixed text at *offset into out (terminated); -1 when it runs past the value
// or does not fit. Embedded zero bytes end the text early, as they would for the system.
int read_text(const uint8_t* data, size_t size, size_t* offset, char* out, size_t out_size) {
  if (size - *offset < 4) return -1;
  uint32_t length = read_u32(data + *offset);
  *offset += 4;
  if (length > size - *offset || length >= out_size) return -1;
  memcpy(out, data + *offset, length);
  out[length] = '\0';
  *offset += length;
  return 0;
}

int fail(proxy_settings* out) {
  memset(out, 0, sizeof *out);
  return -1;
}

bool is_separator(char c) { return c == ';' || c == ',' || c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The next entry of a list into out; returns the position after it, or null at the end.
const char* next_entry(const char* p, char* out, size_t size) {
  while (*p && is_separator(*p)) ++p;
  if (!*p) return nullptr;
  size_t n = 0;
  for (; *p && !is_separator(*p); ++p)
    if (n + 1 < size) out[n++] = *p;
  out[n] = '\0';
  return p;
}

// "*" matches any run of characters; one remembered star keeps it linear in practice and free
// of the deep recursion a hostile pattern could ask for.
bool glob_match(const char* pattern, const char* text) {
  const char* star = nullptr;
  const char* resume = nullptr;
  while (*text) {
    if (*pattern == '*') {
      star = pattern++;
      resume = text;
    } else if (*pattern && ascii_lower(*pattern) == ascii_lower(*text)) {
      ++pattern;
      ++text;
    } else if (star) {
      pattern = star + 1;
      text = ++resume;
    } else {
      return false;
    }
  }
  while (*pattern == '*') ++pattern;
  return !*pattern;
}

const char* without_scheme(const char* entry) {
  const char* mark = strstr(entry, "://");
  return mark ? mark + 3 : entry;
}

}  // namespace

int proxy_settings_from_connection(const uint8_t* data, size_t size, proxy_settings* out) {
  memset(out, 0, sizeof *out);
  if (!data || size < 12) return -1;
  uint32_t flags = read_u32(data + 8);
  size_t offset = 12;
  if (read_text(data, size, &offset, out->server, sizeof out->server) != 0 ||
      read_text(data, size, &offset, out->bypass, sizeof out->bypass) != 0 ||
      read_text(data, size, &offset, out->pac_url, sizeof out->pac_url) != 0)
    return fail(out);
  out->auto_detect = (flags & FLAG_AUTO_DETECT) != 0;
  out->use_pac = (flags & FLAG_PAC) != 0 && out->pac_url[0] != '\0';
  out->use_manual = (flags & FLAG_PROXY) != 0 && out->server[0] != '\0';
  return 0;
}

int proxy_settings_from_values(int proxy_enable, const char* server, const char* bypass, const char* pac_url,
                               proxy_settings* out) {
  memset(out, 0, sizeof *out);
  if (!text_copy(out->server, server) || !text_copy(out->bypass, bypass) || !text_copy(out->pac_url, pac_url))
    return fail(out);
  out->use_pac = out->pac_url[0] != '\0';
  out->use_manual = proxy_enable != 0 && out->server[0] != '\0';
  return 0;
}

int proxy_for_scheme(const char* server_list, const char* scheme, char* out, size_t size) {
  char entry[PROXY_SERVER_SIZE];
  const char* any = nullptr;
  char any_entry[PROXY_SERVER_SIZE] = "";
  size_t scheme_length = strlen(scheme);
  for (const char* p = server_list ? next_entry(server_list, entry, sizeof entry) : nullptr; p;
       p = next_entry(p, entry, sizeof entry)) {
    const char* equals = strchr(entry, '=');
    if (!equals) {
      if (!any) any = text_copy(any_entry, entry) ? any_entry : nullptr;
      continue;
    }
    if (static_cast<size_t>(equals - entry) == scheme_length && !strncmp(entry, scheme, scheme_length) && equals[1])
      return text_copy(out, size, without_scheme(equals + 1)) ? 0 : -1;
  }
  if (!any) return -1;
  return text_copy(out, size, without_scheme(any)) ? 0 : -1;
}

bool proxy_bypassed(const char* bypass_list, const char* host) {
  char entry[PROXY_BYPASS_SIZE];
  for (const char* p = bypass_list ? next_entry(bypass_list, entry, sizeof entry) : nullptr; p;
       p = next_entry(p, entry, sizeof entry)) {
    if (text_equal_nocase(entry, "<local>")) {
      if (!strchr(host, '.')) return true;
      continue;
    }
    if (glob_match(without_scheme(entry), host)) return true;
  }
  return false;
}

const char* proxy_source_name(proxy_source source) {
  switch (source) {
    case PROXY_SOURCE_AUTO_DETECT:
      return "auto-detect";
    case PROXY_SOURCE_PAC:
      return "auto-config script";
    default:
      return "manual proxy";
  }
}

const char* proxy_source_skip_reason(const proxy_settings* settings, proxy_source source) {
  switch (source) {
    case PROXY_SOURCE_AUTO_DETECT:
      return settings->auto_detect ? nullptr : "off in the Internet settings";
    case PROXY_SOURCE_PAC:
      return settings->use_pac ? nullptr : "none in the Internet settings";
    default:
      return settings->use_manual ? nullptr : "none in the Internet settings";
  }
}

int proxy_manual_choice(const proxy_settings* settings, const char* scheme, const char* host, char* out, size_t size,
                        const char** direct_reason) {
  *direct_reason = nullptr;
  if (size) out[0] = '\0';
  if (proxy_bypassed(settings->bypass, host)) {
    *direct_reason = "on the bypass list";
    return PROXY_MANUAL_DIRECT;
  }
  if (proxy_for_scheme(settings->server, scheme, out, size) != 0) {
    *direct_reason = "no proxy for this scheme in the list";
    return PROXY_MANUAL_DIRECT;
  }
  return PROXY_MANUAL_PROXY;
}
