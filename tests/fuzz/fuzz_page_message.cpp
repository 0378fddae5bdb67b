// The page's messages reach the program as text it did not write: the key-search readers must
// stay inside the text and their outputs, always terminate, and walk an array to its end.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/json_field.h"
#include "ui/page_message.h"

namespace {

void check_terminated(const char* out, size_t size) {
  if (!memchr(out, '\0', size)) abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string text(reinterpret_cast<const char*>(data), size);
  const char* json = text.c_str();
  size_t small = size ? 1 + data[0] % 16 : 1;
  const char* keys[] = {"type", "id", "cmd", "level", "message", "enabled", "disabled", "url", ""};
  for (const char* key : keys) {
    std::string out(small, 'Z');
    json_get_string(json, key, out.data(), small);
    check_terminated(out.c_str(), small);
    json_get_bool(json, key);
    int tri = json_get_tristate(json, key);
    if (tri < -1 || tri > 1) abort();
    char item[JSON_ARRAY_ITEM_SIZE];
    const char* end = json + size;
    size_t walked = 0;
    for (const char* at = json_next_array_string(json, key, nullptr, item, sizeof item); at;
         at = json_next_array_string(json, key, at, item, sizeof item)) {
      check_terminated(item, sizeof item);
      if (at < json || at > end || ++walked > size) abort();  // every element moves the cursor on
    }
  }
  json_get_id(json);
  if (ui_message_is_invoke(json)) {
    ui_invoke invoke;
    ui_read_invoke(json, &invoke);
    check_terminated(invoke.cmd, sizeof invoke.cmd);
  }
  ui_url_may_open(json);
  return 0;
}
