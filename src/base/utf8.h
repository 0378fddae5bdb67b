// UTF-16 to UTF-8 in plain code, so the conversion's every way of stopping can be tested
// anywhere. Windows' own converter gives the same bytes: a surrogate without its partner
// becomes U+FFFD.
#pragma once

#include <cstddef>

// Converts text (NUL-terminated UTF-16) into out[size], stopping before a character that
// does not fit whole. out is always terminated. Returns 0 when all of the text fit, 1 when it
// was cut, -1 (nothing written) for a null text or out or a size of 0.
int utf8_from_utf16(const char16_t* text, char* out, size_t size);
