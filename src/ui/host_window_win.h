// What the other screens may use of the host's Windows side: the host window (the owner of
// their boxes and of the UAC prompt), the message box helper, the system's DPI and a wait that
// keeps the window answering.
#pragma once

#include <windows.h>

#include <cstdint>

// The living host window, or null.
HWND ui_host_window();

// A message box with UTF-8 texts; the button pressed.
int ui_host_message_box(HWND owner, const char* text, const char* caption, UINT flags);

// Registers the window class (a second registration is harmless) and creates a fixed-size top
// window of the given client-independent size, scaled by dpi and centred on the screen, with the
// program's icon and the title in UTF-8 (an unconvertible title gives an empty caption).
HWND ui_create_top_window(const wchar_t* class_name, WNDPROC proc, HBRUSH background, const char* title,
                          int32_t width, int32_t height, int32_t dpi);

// The system's DPI: GetDpiForSystem where user32 has it (else 96); a value of 95 or less is
// asked again of the screen's device context (kept when there is none).
int32_t ui_system_dpi();

// Waits at most timeout_ms for one of the handles, dispatching this thread's messages meanwhile
// so its windows stay responsive; a WM_QUIT taken from the queue meanwhile is posted again once
// the wait is over. The index of the handle that was signalled, or -1: the time-out, a failed
// wait, or no handle to wait for.
int ui_wait_dispatching(const HANDLE* handles, DWORD count, DWORD timeout_ms);
