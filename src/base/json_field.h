// Small JSON lookups by key, for flat texts we receive (tag data, the session response) and
// for the page's messages. None of them is a parser: each finds the first occurrence of the
// quoted key anywhere in the text, nested objects and string values included, and reads the
// value after it. That is enough because the page puts "type", "id" and "cmd" before "args"
// and every command looks up keys that occur once in its message.
#pragma once

#include <cstddef>
#include <cstdint>

// Where the value of the first "key" starts: after the quoted key and any spaces, tabs and
// colons. Null when the key does not occur.
const char* json_value_after_key(const char* text, const char* key);

// Tag data and session response: requires a quoted value and copies it verbatim (no escapes
// understood) up to the next double quote, truncated to size-1. 0, or -1 with out emptied.
int json_string_field(const char* text, const char* key, char* out, size_t size);

// The page's messages. A quoted value is unescaped by dropping each backslash and keeping the
// character after it (\" gives ", \\ gives \, \n gives n; \u is not decoded), cut at size-1.
// True when the value was a string, false with out emptied otherwise.
bool json_get_string(const char* text, const char* key, char* out, size_t size);
// The decimal number after "id" (blanks and a sign allowed, 0 without digits, held within
// 32 bits), or -1 when there is no "id".
int32_t json_get_id(const char* text);
// True when the key is there and its value starts with t or T.
bool json_get_bool(const char* text, const char* key);
// 1 for a value starting with true, 0 for false, -1 for a missing key or anything else.
int json_get_tristate(const char* text, const char* key);

// Walks the string elements of the array value of key: pass null as cursor the first time and
// the returned cursor after that. Each call copies the next element (unescaped as above, cut at
// size-1) and returns the new cursor, or null at the end of the array, at the end of the text
// or at an element that is not a string. A cut element is still read to its end, so its tail
// is never taken for further elements.
constexpr size_t JSON_ARRAY_ITEM_SIZE = 64;
const char* json_next_array_string(const char* text, const char* key, const char* cursor, char* out, size_t size);
