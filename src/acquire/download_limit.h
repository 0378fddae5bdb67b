// How big a package download may be. The plain-HTTP fallback lets anyone on the path answer,
// so neither the Content-Length a server claims nor the body it sends may be trusted to end.
#pragma once

#include <cstdint>

// The Content-Length header's text as a number: 0 with *length set, -1 when it is not a plain
// decimal number. A number past 2^64-1 reads as UINT64_MAX, over any limit.
int content_length_value(const char* text, uint64_t* length);

// Whether got more bytes after total would pass max (checked without forming total + got).
inline bool download_passes_limit(uint64_t total, uint64_t got, uint64_t max) {
  return total > max || got > max - total;
}
