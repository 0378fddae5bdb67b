// The base64 decoder of the tag block: lenient by design, because the tag is stamped by
// the download server and must decode even with line breaks or stray characters in it.
#pragma once

#include <cstddef>

// Standard alphabet; other characters are skipped; "=" counts as six zero bits, so trailing
// padding yields NUL bytes that end the decoded text. Writes at most size-1 bytes and always
// terminates. Returns the number of bytes written before the terminator.
size_t base64_decode(const char* text, char* out, size_t size);
