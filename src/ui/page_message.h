// What the program reads from every message of a page before acting on it.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t UI_COMMAND_NAME_SIZE = 64;

struct ui_invoke {
  int32_t id;  // -1 when the message has none; the answer then carries -1 and the page ignores it
  char cmd[UI_COMMAND_NAME_SIZE];
};

// 1 when the message's "type" is "invoke"; any other message is ignored without an answer.
int ui_message_is_invoke(const char* json);
// The id and the command of an invoke.
void ui_read_invoke(const char* json, ui_invoke* out);

// 1 when the address is an http: or https: address (scheme in any case). Only these are handed
// to the shell: a file path, a file: address or another protocol would run whatever handler the
// machine has for it in the elevated process's name.
int ui_url_is_web(const char* url);
