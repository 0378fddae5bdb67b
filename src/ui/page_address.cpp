#include "ui/page_address.h"

#include <cstring>
#include <string>

namespace {

constexpr char FILE_SCHEME[] = "file://";

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

char lower_ascii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The path of a local file URL ("file:///C:/x/ui/index.html?q#f" gives "/c:/x/ui/index.html"),
// escapes decoded, backslashes as slashes, lower-cased; false when it names no local file.
bool file_path_of(const char* url, std::string& path) {
  if (!url) return false;
  size_t scheme = sizeof FILE_SCHEME - 1;
  for (size_t k = 0; k < scheme; k++)
    if (lower_ascii(url[k]) != FILE_SCHEME[k]) return false;
  const char* at = url + scheme;
  if (*at != '/') return false;  // a host: another machine's file, or localhost spelt out
  path.clear();
  for (; *at && *at != '?' && *at != '#'; at++) {
    char c = *at;
    if (c == '%') {
      int high = hex_value(at[1]);
      int low = high < 0 ? -1 : hex_value(at[2]);
      if (low < 0) return false;
      c = static_cast<char>(high * 16 + low);
      if (c == '\0' || c == '/' || c == '\\') return false;
      at += 2;
    } else if (c == '\\') {
      c = '/';
    }
    path.push_back(lower_ascii(c));
  }
  return path.size() > 1;
}

bool has_parent_segment(const std::string& path) {
  return path.find("/../") != std::string::npos || path.ends_with("/..");
}

}  // namespace

bool page_address_same_page(const char* source, const char* page_url) {
  std::string got, expected;
  return file_path_of(source, got) && file_path_of(page_url, expected) && got == expected;
}

bool page_address_in_pages_folder(const char* target, const char* page_url) {
  std::string got, page;
  if (!file_path_of(target, got) || !file_path_of(page_url, page) || has_parent_segment(got)) return false;
  std::string folder = page.substr(0, page.find_last_of('/') + 1);
  return got.size() > folder.size() && got.compare(0, folder.size(), folder) == 0;
}
