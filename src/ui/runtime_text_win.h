// A string the WebView2 runtime returned (CoTaskMemAlloc'd UTF-16) as UTF-8, freed with it.
#pragma once

#include <objbase.h>

#include "base/bounded_text.h"
#include "base/wide_win.h"

struct runtime_text {
  heap_block<char> text;
  explicit runtime_text(LPWSTR wide) : text(wide ? wide_to_utf8_heap(wide) : nullptr) { CoTaskMemFree(wide); }
  const char* get() const { return text ? text.get() : ""; }
};

// An address from the browser is the user's to choose: for the log it is cut short and anything
// but printable ASCII is replaced (the runtime escapes the rest), so it can neither make lines
// of its own nor leave half a character.
template <size_t N>
void loggable_address(char (&out)[N], const char* address) {
  text_copy(out, address);
  for (char* c = out; *c; c++)
    if (static_cast<unsigned char>(*c) < 0x20 || static_cast<unsigned char>(*c) >= 0x7f) *c = '?';
}
