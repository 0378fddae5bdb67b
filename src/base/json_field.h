// The small flat-JSON lookup used on tag data and on the session response. It is not a
// parser: it finds the first quoted key and copies the quoted text after it verbatim.
#pragma once

#include <cstddef>

// Finds "key" in text, skips blanks, tabs and colons, requires a double quote and copies up to
// the next double quote, truncated to size-1. Returns 0, or -1 with out emptied.
int json_string_field(const char* text, const char* key, char* out, size_t size);
