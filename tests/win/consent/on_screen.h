// A person at the screen, for the consent tests that need windows (they skip without a display).
#pragma once

#include <windows.h>

#include <string>

namespace on_screen {

inline bool have_display() {
  HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (probe) DestroyWindow(probe);
  return probe != nullptr;
}

// The top-level window of that class and caption, waited for up to timeout_ms; null if none came.
inline HWND wait_for_window(const wchar_t* window_class, const wchar_t* caption, DWORD timeout_ms = 10000) {
  for (DWORD waited = 0; waited < timeout_ms; waited += 100, Sleep(100))
    if (HWND window = FindWindowW(window_class, caption)) return window;
  return nullptr;
}

// Reads a message box's text and presses OK.
inline std::string answer_box(HWND box) {
  Sleep(200);  // let it finish drawing
  wchar_t label[1024] = L"";
  GetWindowTextW(GetDlgItem(box, 0xFFFF), label, 1024);
  char utf8[2048];
  WideCharToMultiByte(CP_UTF8, 0, label, -1, utf8, sizeof utf8, nullptr, nullptr);
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  return utf8;
}

}  // namespace on_screen
