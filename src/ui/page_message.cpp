#include "ui/page_message.h"

#include <cctype>
#include <cstring>

#include "base/json_field.h"

namespace {

constexpr size_t TYPE_SIZE = 32;

// Letters, digits and the marks an address may carry as they are (RFC 3986: unreserved,
// reserved but the quote, and '%' of an escape). A blank, a quote, a backslash, a control
// character or a byte above ASCII would let the shell read more than one address.
bool is_url_character(char c) {
  if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return c != '\0' && strchr("-._~:/?#[]@!$&()*+,;=%", c) != nullptr;
}

// prefix in lower case.
bool starts_nocase(const char* text, const char* prefix) {
  for (; *prefix; ++text, ++prefix)
    if (tolower(static_cast<unsigned char>(*text)) != *prefix) return false;
  return true;
}

}  // namespace

bool ui_message_is_invoke(const char* json) {
  char type[TYPE_SIZE];
  json_get_string(json, "type", type, sizeof type);
  return strcmp(type, "invoke") == 0;
}

void ui_read_invoke(const char* json, ui_invoke* out) {
  out->id = json_get_id(json);
  json_get_string(json, "cmd", out->cmd, sizeof out->cmd);
}

bool ui_url_may_open(const char* url) {
  if (!url) return false;
  size_t scheme = 0;
  if (starts_nocase(url, "https://")) scheme = 8;
  else if (starts_nocase(url, "http://")) scheme = 7;
  size_t length = strlen(url);
  if (!scheme || length > UI_URL_MAX || !url[scheme] || strchr("/?#", url[scheme])) return false;
  for (const char* c = url; *c; ++c)
    if (!is_url_character(*c)) return false;
  return true;
}
