#include <windows.h>

#include "app/entry.h"
#include "base/system_dlls_win.h"

// lpCmdLine is already the command line without the program name (quotes honoured),
// which is the text every switch is searched in.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR command_line, int) {
  system_dlls_only();  // before anything could load a DLL by name
  return corvane_main(command_line ? command_line : "");
}
