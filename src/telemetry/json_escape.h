// Escaping of values that land in the JSON the program sends.
#pragma once

#include <cstddef>

// The word a flag is sent as: "true" or "false".
inline const char* json_bool(int flag) { return flag ? "true" : "false"; }

// Copies in to out[size], a backslash before '"' and '\\', control characters as \u00XX and
// bytes that are not valid UTF-8 as '?', so the text is always a valid JSON string body. Stops
// before an escape or a character that would not fit whole; always terminates. Null in gives "".
// Returns the length written.
size_t json_escape(char* out, size_t size, const char* in);

// Appends piece to the text in out[size] only when the whole piece fits; true when
// appended, false when dropped (out unchanged). Keeps a JSON object valid when space runs out.
bool json_append_whole(char* out, size_t size, const char* piece);

// Appends "key":"<value escaped to at most limit-1 characters>" whole, after a comma unless it
// is the first member; limit is at most JSON_MEMBER_VALUE_MAX. True when appended, false when dropped.
constexpr size_t JSON_MEMBER_VALUE_MAX = 512;
bool json_append_string_member(char* out, size_t size, const char* key, const char* value, size_t limit, int first);
