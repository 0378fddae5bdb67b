// What the program reads from every message of a page before acting on it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t UI_COMMAND_NAME_SIZE = 64;

struct ui_invoke {
  int32_t id;  // -1 when the message has none; the answer then carries -1 and the page ignores it
  char cmd[UI_COMMAND_NAME_SIZE];
};

// True when the message's "type" is "invoke"; any other message is ignored without an answer.
bool ui_message_is_invoke(const char* json);
// The id and the command of an invoke.
void ui_read_invoke(const char* json, ui_invoke* out);

constexpr size_t UI_URL_MAX = 2048;

// True when a page's link may be opened: an absolute http:// or https:// address (scheme in any
// case) with a host, of at most UI_URL_MAX characters, all of them URL characters: no blank,
// quote, backslash, control character or non-ASCII byte. Anything else would be read by the
// shell as a program, a file, another protocol's handler or several arguments.
bool ui_url_may_open(const char* url);
