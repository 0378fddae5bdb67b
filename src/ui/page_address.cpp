#include "ui/page_address.h"

#include <cstring>

namespace {

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Letters, digits and the few marks the bundle's names use; everything else (escapes,
// backslashes, colons) would let one address stand for another.
bool name_character(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '-' ||
         c == '_' || c == '@' || c == '/';
}

bool plain_segment(const char* start, size_t length) {
  return length > 0 && !(length == 1 && start[0] == '.') && !(length == 2 && start[0] == '.' && start[1] == '.');
}

// The bundle name from `path` up to its end, '?' or '#'.
bool entry_of_path(const char* path, char* name, size_t size) {
  size_t length = strcspn(path, "?#");
  if (length == 0 || length >= size) return false;
  const char* segment = path;
  for (size_t k = 0; k <= length; k++) {
    if (k == length || path[k] == '/') {
      if (!plain_segment(segment, static_cast<size_t>(path + k - segment))) return false;
      segment = path + k + 1;
    } else if (!name_character(path[k])) {
      return false;
    }
  }
  memcpy(name, path, length);
  name[length] = '\0';
  return true;
}

}  // namespace

int page_address_of(const char* page, char* out, size_t size) {
  const char* name = page && *page ? page : "index.html";
  char checked[PAGE_ADDRESS_MAX];
  size_t origin = sizeof PAGE_ORIGIN - 1;
  if (size > 0) out[0] = '\0';
  if (!entry_of_path(name, checked, sizeof checked) || strcmp(checked, name) != 0 ||
      origin + strlen(name) + 1 > size)
    return -1;
  memcpy(out, PAGE_ORIGIN, origin);
  strcpy(out + origin, name);
  return 0;
}

bool page_address_entry(const char* address, char* name, size_t size) {
  if (size > 0) name[0] = '\0';
  if (!address || size == 0) return false;
  size_t origin = sizeof PAGE_ORIGIN - 1;
  for (size_t k = 0; k < origin; k++)
    if (lower_ascii(address[k]) != PAGE_ORIGIN[k]) return false;
  if (entry_of_path(address + origin, name, size)) return true;
  name[0] = '\0';
  return false;
}

bool page_address_same_page(const char* source, const char* page_url) {
  char got[PAGE_ADDRESS_MAX], expected[PAGE_ADDRESS_MAX];
  return page_address_entry(source, got, sizeof got) && page_address_entry(page_url, expected, sizeof expected) &&
         strcmp(got, expected) == 0;
}

bool page_address_is_own(const char* target) {
  char name[PAGE_ADDRESS_MAX];
  return page_address_entry(target, name, sizeof name);
}

const char* page_content_type(const char* name) {
  static const struct {
    const char* extension;
    const char* type;
  } types[] = {
      {".html", "text/html; charset=utf-8"},  {".js", "text/javascript; charset=utf-8"},
      {".css", "text/css; charset=utf-8"},    {".svg", "image/svg+xml"},
      {".png", "image/png"},                  {".webp", "image/webp"},
      {".ico", "image/x-icon"},               {".woff2", "font/woff2"},
      {".txt", "text/plain; charset=utf-8"},  {".json", "application/json"},
  };
  const char* dot = name ? strrchr(name, '.') : nullptr;
  if (dot && !strchr(dot, '/'))
    for (const auto& t : types)
      if (strcmp(dot, t.extension) == 0) return t.type;
  return "application/octet-stream";
}
