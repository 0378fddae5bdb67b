// Narrow (UTF-8) text is the program's currency; UTF-16 exists only at Windows calls.
#pragma once

#include <windows.h>

#include <cstddef>

// UTF-8 to UTF-16 into out[count], truncating; returns 0, or -1 with out emptied.
int utf8_to_wide(const char* text, wchar_t* out, size_t count);
// UTF-16 to UTF-8 into out[size], cut on a character boundary; returns 0, or -1 with out emptied.
int wide_to_utf8(const wchar_t* text, char* out, size_t size);
