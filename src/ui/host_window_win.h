// What the other screens may use of the host's Windows side: the host window (the owner of
// their boxes and of the UAC prompt), the message box helper and the system's DPI.
#pragma once

#include <windows.h>

#include <cstdint>

// The living host window, or null.
HWND ui_host_window();

// A message box with UTF-8 texts; the button pressed.
int ui_host_message_box(HWND owner, const char* text, const char* caption, UINT flags);

// The system's DPI: GetDpiForSystem where user32 has it (else 96); a value of 95 or less is
// asked again of the screen's device context (kept when there is none).
int32_t ui_system_dpi();
