#include "base/wide_win.h"

#include "base/utf8.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "Windows' wide characters are UTF-16 units");

int utf8_to_wide(const char* text, wchar_t* out, size_t count) {
  if (!out || count == 0) return -1;
  out[0] = L'\0';
  if (!text) return -1;
  // Every caller hands the result to Windows as a path, name or command line, where a cut
  // text would name something else: a text that does not fit is a failure.
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, static_cast<int>(count));
  if (n > 0) return 0;
  out[0] = L'\0';
  return -1;
}

wchar_t* utf8_to_wide_heap(const char* text) {
  if (!text) return nullptr;
  int units = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  if (units <= 0) return nullptr;
  heap_block<wchar_t> wide = heap_allocate<wchar_t>(static_cast<size_t>(units));
  if (wide && MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.get(), units) != units) return nullptr;
  return wide.release();
}

char* wide_to_utf8_heap(const wchar_t* text) {
  if (!text) return nullptr;
  int bytes = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (bytes <= 0) return nullptr;
  heap_block<char> narrow = heap_allocate<char>(static_cast<size_t>(bytes));
  if (narrow && WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.get(), bytes, nullptr, nullptr) != bytes)
    return nullptr;
  return narrow.release();
}

int wide_to_utf8(const wchar_t* text, char* out, size_t size) {
  return utf8_from_utf16(reinterpret_cast<const char16_t*>(text), out, size);
}
