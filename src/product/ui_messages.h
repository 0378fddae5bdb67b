// The messages the native side sends to the page: answers to its invokes, and the unasked
// progress and final outcome.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr size_t UI_PROGRESS_MESSAGE_SIZE = 264;
constexpr size_t UI_TERMINAL_MESSAGE_SIZE = 520;
constexpr size_t UI_RESPONSE_MESSAGE_SIZE = 520;
constexpr size_t UI_NULL_RESPONSE_SIZE = 1024;
constexpr size_t UI_STATE_RESPONSE_SIZE = 7168;  // the install- and uninstall-state objects

// {"type":"response","id":<id>,"result":<result>}, result a JSON value text (null: null);
// 0, or -1 when it does not fit (out then holds nothing the page could take for an answer).
int ui_format_response(int32_t id, const char* result, char* out, size_t size);

// {"type":"event","channel":"installer://progress","payload":{"stage":"<stage>","percent":<n>}};
// 0, or -1 when it does not fit (nothing half-formed is ever posted).
int ui_format_progress(const char* stage, int percent, char* out, size_t size);
// {"type":"event","channel":"installer://terminal","payload":{"stage":..,"terminal":..,"outcome":..}}
int ui_format_terminal(const char* stage, const char* terminal, const char* outcome, char* out, size_t size);
