#include "ui/page_message.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/json_field.h"

namespace {
constexpr size_t TYPE_SIZE = 32;
}  // namespace

int ui_message_is_invoke(const char* json) {
  char type[TYPE_SIZE];
  json_get_string(json, "type", type, sizeof type);
  return strcmp(type, "invoke") == 0;
}

void ui_read_invoke(const char* json, ui_invoke* out) {
  out->id = json_get_id(json);
  json_get_string(json, "cmd", out->cmd, sizeof out->cmd);
}

int ui_url_is_web(const char* url) {
  if (!url) return 0;
  const char* colon = strchr(url, ':');
  if (!colon) return 0;
  size_t n = static_cast<size_t>(colon - url);
  char scheme[8];
  if (n == 0 || n >= sizeof scheme) return 0;
  memcpy(scheme, url, n);
  scheme[n] = '\0';
  return text_equal_nocase(scheme, "http") || text_equal_nocase(scheme, "https");
}
