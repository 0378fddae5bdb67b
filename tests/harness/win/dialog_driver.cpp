// Answers one message box: waits for a dialog with the given caption, writes its text
// (UTF-8) to a file, then presses a button by posting WM_COMMAND (never sending, so a
// busy dialog cannot block the driver).
// Usage: dialog_driver <caption> <button id> <timeout ms> <text output file>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int wmain(int argc, wchar_t** argv) {
  if (argc != 5) {
    fprintf(stderr, "usage: dialog_driver caption button_id timeout_ms out_file\n");
    return 2;
  }
  const wchar_t* caption = argv[1];
  int button = _wtoi(argv[2]);
  DWORD timeout = static_cast<DWORD>(_wtoi(argv[3]));
  DWORD start = GetTickCount();
  HWND dialog = nullptr;
  while (!(dialog = FindWindowW(L"#32770", caption))) {
    if (GetTickCount() - start > timeout) {
      printf("dialog_driver: no dialog\n");
      return 1;
    }
    Sleep(100);
  }
  Sleep(200);  // let the box finish drawing its text
  wchar_t text[4096] = L"";
  HWND label = GetDlgItem(dialog, 0xFFFF);
  if (label) GetWindowTextW(label, text, 4096);
  char utf8[16384] = "";
  WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
  FILE* out = _wfopen(argv[4], L"wb");
  if (out) {
    fputs(utf8, out);
    fclose(out);
  }
  PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  start = GetTickCount();
  while (IsWindow(dialog) && GetTickCount() - start < 5000) Sleep(100);
  printf("dialog_driver: answered\n");
  return IsWindow(dialog) ? 1 : 0;
}
