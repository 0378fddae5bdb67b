// The unasked messages the native side pushes to the page: progress and the final outcome.
#pragma once

#include <cstddef>

constexpr size_t UI_PROGRESS_MESSAGE_SIZE = 264;
constexpr size_t UI_TERMINAL_MESSAGE_SIZE = 520;

// {"type":"event","channel":"installer://progress","payload":{"stage":"<stage>","percent":<n>}};
// 0, or -1 when it does not fit (nothing half-formed is ever posted).
int ui_format_progress(const char* stage, int percent, char* out, size_t size);
// {"type":"event","channel":"installer://terminal","payload":{"stage":..,"terminal":..,"outcome":..}}
int ui_format_terminal(const char* stage, const char* terminal, const char* outcome, char* out, size_t size);
