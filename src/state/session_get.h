// One GET to the session worker over HTTPS on its own WinHTTP session (Windows layer).
#pragma once

#include <cstddef>

// Returns the HTTP status (200, 429, another), or -1 when none was received. On 200 the body
// (at most size-1 bytes) is in response, terminated; on 429 *retry_delay_ms holds the
// Retry-After wait (1000 to 5000 ms).
int session_get(const char* host, const char* path_and_query, char* response, size_t size, int* retry_delay_ms);
