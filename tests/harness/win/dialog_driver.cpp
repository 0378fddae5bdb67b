// Answers one message box, or presses a button of another window: waits for a window with the
// given caption (and class: a message box's "#32770" unless named), writes its text (UTF-8) to
// a file, waits the given delay (time for a screenshot), then presses the button by posting
// WM_COMMAND (never sending, so a busy window cannot block the driver). A message box's text is
// its label's; another window's is the text of each of its controls, one per line.
// Usage: dialog_driver <caption> <button id> <timeout ms> <text output file> [class [delay ms]]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

BOOL CALLBACK add_control_text(HWND control, LPARAM lines) {
  wchar_t text[1024] = L"";
  GetWindowTextW(control, text, 1024);
  auto* all = reinterpret_cast<std::wstring*>(lines);
  if (!all->empty()) *all += L"\n";
  *all += text;
  return TRUE;
}

std::wstring window_text(HWND window, bool message_box) {
  std::wstring text;
  if (message_box) {
    wchar_t label[4096] = L"";
    HWND static_text = GetDlgItem(window, 0xFFFF);
    if (static_text) GetWindowTextW(static_text, label, 4096);
    return label;
  }
  EnumChildWindows(window, add_control_text, reinterpret_cast<LPARAM>(&text));
  return text;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5 || argc > 7) {
    fprintf(stderr, "usage: dialog_driver caption button_id timeout_ms out_file [class [delay_ms]]\n");
    return 2;
  }
  const wchar_t* caption = argv[1];
  int button = _wtoi(argv[2]);
  DWORD timeout = static_cast<DWORD>(_wtoi(argv[3]));
  const wchar_t* window_class = argc > 5 ? argv[5] : L"#32770";
  DWORD delay = argc > 6 ? static_cast<DWORD>(_wtoi(argv[6])) : 0;
  bool message_box = lstrcmpW(window_class, L"#32770") == 0;
  DWORD start = GetTickCount();
  HWND dialog = nullptr;
  while (!(dialog = FindWindowW(window_class, caption))) {
    if (GetTickCount() - start > timeout) {
      printf("dialog_driver: no dialog\n");
      return 1;
    }
    Sleep(100);
  }
  Sleep(200);  // let the window finish drawing its text
  std::wstring text = window_text(dialog, message_box);
  char utf8[16384] = "";
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8, sizeof utf8, nullptr, nullptr);
  FILE* out = _wfopen(argv[4], L"wb");
  if (out) {
    fputs(utf8, out);
    fclose(out);
  }
  Sleep(delay);
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
  start = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - start < 5000) Sleep(100);
  printf("dialog_driver: answered\n");
  return IsWindow(dialog) ? 1 : 0;
}
