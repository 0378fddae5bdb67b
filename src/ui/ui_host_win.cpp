// The host window: one top-level window per screen, its close guard and question, and the
// message loop the main thread runs until the window is gone.
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "product/product.h"
#include "ui/page_server_win.h"
#include "ui/ui_host_layout.h"
#include "ui/ui_host_window_win.h"
#include "ui/webview_loader.h"

ui_host_state g_ui_host;

namespace {

constexpr DWORD WINDOW_STYLE = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // fixed size, no maximise box

const char* or_default(const char* text, const char* fallback) { return text && *text ? text : fallback; }

void set_close_item(HWND window, bool enabled) {
  EnableMenuItem(GetSystemMenu(window, FALSE), SC_CLOSE, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED));
}

void focus_webview() {
  if (g_ui_host.controller)
    g_ui_host.controller->lpVtbl->MoveFocus(g_ui_host.controller, COREWEBVIEW2_MOVE_FOCUS_REASON_PROGRAMMATIC);
}

void fit_webview(HWND window, WPARAM kind) {
  ICoreWebView2Controller* controller = g_ui_host.controller;
  if (!controller) return;
  if (kind == SIZE_MINIMIZED) {
    controller->lpVtbl->put_IsVisible(controller, FALSE);
    return;
  }
  RECT client;
  GetClientRect(window, &client);
  controller->lpVtbl->put_Bounds(controller, client);
  controller->lpVtbl->put_IsVisible(controller, TRUE);
}

void on_close_request(HWND window) {
  if (g_ui_host.config && g_ui_host.config->close_disabled && !g_ui_host.close_enabled) return;  // the guard
  if (g_ui_host.confirm_text) {
    int answer = ui_host_message_box(window, g_ui_host.confirm_text, or_default(g_ui_host.confirm_caption, "Corvane"),
                                     MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2);
    if (answer != IDYES) return;
    g_ui_host.user_confirmed_close = true;
  }
  DestroyWindow(window);
}

// The WebView2 objects go with the window: Close gives back every handler the runtime holds.
void release_webview() {
  ui_poster_remove();
  if (g_ui_host.controller) g_ui_host.controller->lpVtbl->Close(g_ui_host.controller);
  if (g_ui_host.webview) g_ui_host.webview->lpVtbl->Release(g_ui_host.webview);
  if (g_ui_host.controller) g_ui_host.controller->lpVtbl->Release(g_ui_host.controller);
  g_ui_host.webview = nullptr;
  g_ui_host.controller = nullptr;
  page_server_detach();
}

void post_to_page(const wchar_t* text) {
  if (!g_ui_host.webview) return;
  HRESULT hr = g_ui_host.webview->lpVtbl->PostWebMessageAsJson(g_ui_host.webview, text);
  if (FAILED(hr))
    log_write(LOG_UI, LOG_LEVEL_ERROR,
              "PostWebMessageAsJson rejected a %d-char message (hr=0x%08lX); the JS caller will not be answered",
              static_cast<int>(lstrlenW(text)), static_cast<unsigned long>(hr));
}

LRESULT CALLBACK host_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_SIZE:
      fit_webview(window, wparam);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) focus_webview();
      break;
    case WM_SETFOCUS:
      focus_webview();
      return 0;
    case WM_CLOSE:
      on_close_request(window);
      return 0;
    case WM_DESTROY:
      release_webview();
      g_ui_host.window = nullptr;
      PostQuitMessage(0);
      return 0;
    case WM_UI_POST_JSON:
      ui_poster_deliver(post_to_page);
      return 0;
    case WM_UI_CLOSE:
      DestroyWindow(window);
      return 0;
  }
  return DefWindowProcW(window, message, wparam, lparam);
}

HWND create_host_window(const ui_host_config* config) {
  return ui_create_top_window(L"" UI_WINDOW_CLASS, host_window_proc, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1),
                              or_default(config->title, "Corvane"), config->width, config->height, ui_system_dpi());
}

void take_config(const ui_host_config* config) {
  g_ui_host.config = config;
  g_ui_host.close_enabled = false;
  g_ui_host.user_confirmed_close = false;
  g_ui_host.confirm_text = config->close_confirm_text;
  g_ui_host.confirm_caption = config->close_confirm_caption;
}

}  // namespace

void ui_host_run(const ui_host_config* config) {
  if (!webview_loader_load()) {
    log_write(LOG_UI, LOG_LEVEL_ERROR, "WebView2Loader.dll not found");
    return;
  }
  take_config(config);
  g_ui_host.webview_failed = false;
  HWND window = create_host_window(config);
  if (!window) {
    char text[256];
    text_format(text, sizeof text,
                "Corvane Setup couldn't create its main window (GLE=%lu). The installer cannot continue.",
                GetLastError());
    log_write(LOG_UI, LOG_LEVEL_ERROR, "%s", text);
    ui_host_message_box(nullptr, text, "CorVane Setup", MB_ICONERROR | MB_TOPMOST);
    g_ui_host.config = nullptr;
    return;
  }
  g_ui_host.window = window;
  if (config->close_disabled) set_close_item(window, false);
  ui_poster_install(window);
  if (!ui_host_start_webview(window)) DestroyWindow(window);

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  ui_poster_drain();
  g_ui_host.window = nullptr;
  g_ui_host.config = nullptr;
}

int webview_continue(const ui_host_config* config) {
  if (!g_ui_host.window || !g_ui_host.webview || !config) return -1;
  take_config(config);
  if (config->title && *config->title) {
    wchar_t title[129];
    if (utf8_to_wide(config->title, title, 129) == 0) SetWindowTextW(g_ui_host.window, title);
  }
  set_close_item(g_ui_host.window, !config->close_disabled);
  ui_host_navigate();
  return 0;
}

void ui_enable_close() {
  g_ui_host.close_enabled = true;
  if (g_ui_host.window) set_close_item(g_ui_host.window, true);
}

void ui_set_close_confirmation(const char* text, const char* caption) {
  g_ui_host.confirm_text = text;
  g_ui_host.confirm_caption = caption;
}

HWND ui_create_top_window(const wchar_t* class_name, WNDPROC proc, HBRUSH background, const char* title,
                          int32_t width, int32_t height, int32_t dpi) {
  WNDCLASSEXW window_class = {};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = proc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hIcon = LoadIconW(window_class.hInstance, MAKEINTRESOURCEW(103));
  window_class.hIconSm = window_class.hIcon;
  window_class.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512) /* IDC_ARROW */);
  window_class.hbrBackground = background;
  window_class.lpszClassName = class_name;
  RegisterClassExW(&window_class);  // already registered by an earlier window: fine
  ui_window_rect rect =
      ui_window_placement(width, height, dpi, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  wchar_t wide_title[129];
  if (utf8_to_wide(title, wide_title, 129) != 0) wide_title[0] = L'\0';
  return CreateWindowExW(0, class_name, wide_title, WINDOW_STYLE, rect.x, rect.y, rect.width, rect.height, nullptr,
                         nullptr, window_class.hInstance, nullptr);
}

int ui_host_message_box(HWND owner, const char* text, const char* caption, UINT flags) {
  wchar_t wide_text[1024], wide_caption[128];
  utf8_to_wide(text, wide_text, 1024);
  utf8_to_wide(caption, wide_caption, 128);
  return MessageBoxW(owner, wide_text, wide_caption, flags);
}

int32_t ui_system_dpi() {
  typedef UINT(WINAPI * dpi_fn)(void);
  auto get_dpi = reinterpret_cast<dpi_fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForSystem")));
  int32_t dpi = get_dpi ? static_cast<int32_t>(get_dpi()) : 96;
  if (dpi <= 95) {
    HDC screen = GetDC(nullptr);
    if (screen) {
      dpi = GetDeviceCaps(screen, LOGPIXELSX);
      ReleaseDC(nullptr, screen);
    }
  }
  return dpi;
}

HWND ui_host_window() { return g_ui_host.window; }

bool ui_host_user_confirmed_close() { return g_ui_host.user_confirmed_close; }

bool ui_host_webview_failed() { return g_ui_host.webview_failed; }

void ui_host_fail_webview() {
  g_ui_host.webview_failed = true;
  if (g_ui_host.window) DestroyWindow(g_ui_host.window);
}

namespace {

void dispatch_waiting_messages(bool* quit, WPARAM* quit_code) {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      *quit = true;
      *quit_code = msg.wParam;
      continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

}  // namespace

int ui_wait_dispatching(const HANDLE* handles, DWORD count, DWORD timeout_ms) {
  int signalled = -1;
  bool quit = false;
  WPARAM quit_code = 0;
  DWORD start = GetTickCount();
  for (DWORD elapsed = 0; count > 0 && elapsed < timeout_ms; elapsed = GetTickCount() - start) {
    DWORD woke = MsgWaitForMultipleObjectsEx(count, handles, timeout_ms - elapsed, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 + count) {
      dispatch_waiting_messages(&quit, &quit_code);
      continue;
    }
    if (woke < WAIT_OBJECT_0 + count) signalled = static_cast<int>(woke - WAIT_OBJECT_0);
    break;  // signalled, or the time-out or a failure of the wait
  }
  if (quit) PostQuitMessage(static_cast<int>(quit_code));
  return signalled;
}
