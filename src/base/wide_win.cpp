#include "base/wide_win.h"

#include <cstring>

int utf8_to_wide(const char* text, wchar_t* out, size_t count) {
  if (!out || count == 0) return -1;
  out[0] = L'\0';
  if (!text) return -1;
  int n = MultiByteToWideChar(CP_UTF8, 0, text, -1, out, static_cast<int>(count));
  if (n > 0) return 0;
  if (GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    out[0] = L'\0';
    return -1;
  }
  // Too long: convert what fits rather than lose the whole text.
  int len = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
  wchar_t* full = static_cast<wchar_t*>(HeapAlloc(GetProcessHeap(), 0, sizeof(wchar_t) * (len > 0 ? len : 1)));
  if (!full || MultiByteToWideChar(CP_UTF8, 0, text, -1, full, len) <= 0) {
    if (full) HeapFree(GetProcessHeap(), 0, full);
    out[0] = L'\0';
    return -1;
  }
  lstrcpynW(out, full, static_cast<int>(count));
  HeapFree(GetProcessHeap(), 0, full);
  return 0;
}

int wide_to_utf8(const wchar_t* text, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  if (!text) return -1;
  size_t used = 0;
  for (const wchar_t* p = text; *p;) {
    int units = (*p >= 0xD800 && *p <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) ? 2 : 1;
    char piece[8];
    int n = WideCharToMultiByte(CP_UTF8, 0, p, units, piece, sizeof piece, nullptr, nullptr);
    if (n <= 0) return 0;  // keep what converted so far
    if (used + static_cast<size_t>(n) >= size) break;
    memcpy(out + used, piece, static_cast<size_t>(n));
    used += static_cast<size_t>(n);
    p += units;
  }
  out[used] = '\0';
  return 0;
}
