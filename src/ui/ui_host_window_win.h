// What the host window shares with its poster and its WebView2 callbacks (inside ui only).
#pragma once

#include <windows.h>

#include "ui/host_window_win.h"
#include "ui/ui_host.h"
#include "ui/webview2_abi.h"

// Posted to the host window by any thread.
constexpr UINT WM_UI_POST_JSON = WM_USER + 1;  // a wake-up only: the texts wait in the poster's queue
constexpr UINT WM_UI_CLOSE = WM_USER + 2;      // destroys the window past the guard and the question

enum class early_environment {
  none,     // none asked for ahead of a window
  pending,  // asked for, its completion not yet come: it takes up the window when it comes
  arrived,  // its completion came before the window
  refused,  // the loader refused the request at once
  dropped,  // pending when its screen gave up: the completion is let go when it comes
};

// The host's state; the main thread alone touches it.
struct ui_host_state {
  const ui_host_config* config;  // current screen; null when no window runs
  HWND window;
  ICoreWebView2Controller* controller;
  ICoreWebView2* webview;
  bool close_enabled;
  const char* confirm_text;
  const char* confirm_caption;
  bool user_confirmed_close;
  bool webview_failed;
  // The environment asked for before the window existed, until a window takes it up.
  early_environment environment_state;
  HRESULT environment_result;             // arrived: the completion's code; refused: the call's
  ICoreWebView2Environment* environment;  // arrived: held (one reference) until taken up
};
extern ui_host_state g_ui_host;

// The poster: base ui_post's sink while a window lives. Installing publishes the window to
// other threads; removing stops new posts (main thread, before the window goes).
void ui_poster_install(HWND window);
void ui_poster_remove();
// On a WM_UI_POST_JSON: hands every queued text to send, oldest first, and frees it. The
// message's own parameters are never read. drain frees what is still queued for a window that
// is gone, with its pending wake-ups.
void ui_poster_deliver(void (*send)(const wchar_t* text));
void ui_poster_drain();

// Starts the environment for the window, or takes up the one asked for before it: true when
// the window need not be destroyed now (its completion comes later, or has been handled).
bool ui_host_start_webview(HWND window);

// Asks for the environment before the window exists (ui_screen_prepare); its completion is
// held until ui_host_start_webview. A refusal at once is held the same way.
void ui_host_begin_environment();

// Gives back an environment no window took up (a screen that did not open).
void ui_host_drop_environment();
// Opens the current config's page in the webview (no-op without a folder).
void ui_host_navigate();
// The WebView2 side failed after the window existed: flag it and close past the guard.
void ui_host_fail_webview();

// The WebView2 user-data folder of the next window: "<browser data folder>\WebView2-<n>"
// (windows created so far counting this one). 0, or -1 when there is no browser data folder
// or the path does not fit; ui_cleanup_temp removes them with that folder.
int ui_next_user_data_folder(char* out, size_t size);
