// The request of the session-data fetch: which host, and the query it carries.
#pragma once

#include <cstddef>

constexpr size_t SESSION_PATH_SIZE = 256;
constexpr size_t SESSION_HOST_SIZE = 128;

// Appends ?key=value (first) or &key=value, the value percent-encoded (A-Z a-z 0-9 - _ . ~ kept).
// Nothing is appended for a missing or empty value, or when path length + key length + 2 +
// 3 x value length exceeds 255. *first is cleared after the first parameter.
void query_append(char* path, const char* key, const char* value, int* first);

// True when the sid is 8 to 32 ASCII letters and digits.
bool session_sid_usable(const char* sid);

// "%sdownload.%s": the Mark-of-the-Web prefix, and its domain only when it is .net or .org.
void session_fetch_host(const char* motw_prefix, const char* motw_domain, char* out, size_t size);

// "/v1/session-data" with s (when usable), user_id (only when non-null) and os_name.
void session_fetch_path(const char* sid, const char* user_id, const char* os_name, char* out);
