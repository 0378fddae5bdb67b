// Narrow (UTF-8) text is the program's currency; UTF-16 exists only at Windows calls.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/handle_win.h"

// UTF-8 to UTF-16 into out[count]; 0, or -1 with out emptied when it does not fit (what is
// converted is a path, name or command line, never used cut).
int utf8_to_wide(const char* text, wchar_t* out, size_t count);
// UTF-16 to UTF-8 into out[size], always terminated: 0 when all of it fit, 1 when it was cut
// on a character boundary (display texts keep the cut; callers of paths treat it as a
// failure), -1 with out emptied for a null text.
int wide_to_utf8(const wchar_t* text, char* out, size_t size);

// The whole text converted onto the process heap, for texts with no bound of their own (page
// messages, command lines, registry strings); null when it cannot be converted or allocated.
// Held by heap_block.
wchar_t* utf8_to_wide_heap(const char* text);
char* wide_to_utf8_heap(const wchar_t* text);

