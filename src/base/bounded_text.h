// One bounded copy/format helper for every fixed-size text field of the program.
// Copies truncate at the destination's size and always terminate, so a value from
// outside (tag block, registry, system names) can never overrun a field.
#pragma once

#include <cstdarg>
#include <cstddef>

// Copies src into dst[size], truncating; a null src gives an empty text.
// Returns true when the whole text fit, false when it was cut (or size was 0).
bool text_copy(char* dst, size_t size, const char* src);

// Appends src to the text already in dst[size], truncating; same result as text_copy.
bool text_append(char* dst, size_t size, const char* src);

// printf into dst[size], truncating; returns true when nothing was cut.
bool text_format(char* dst, size_t size, const char* fmt, ...) __attribute__((format(printf, 3, 4)));
bool text_vformat(char* dst, size_t size, const char* fmt, va_list args);

template <size_t N>
inline bool text_copy(char (&dst)[N], const char* src) { return text_copy(dst, N, src); }
template <size_t N>
inline bool text_append(char (&dst)[N], const char* src) { return text_append(dst, N, src); }

// ASCII-only case helpers: file names and switches are compared without locale rules.
char ascii_lower(char c);
void text_lower_ascii(char* s);
bool text_equal_nocase(const char* a, const char* b);
bool text_ends_with_nocase(const char* s, const char* suffix);
