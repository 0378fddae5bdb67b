// The WebView2 host: one top-level window with one WebView2 control that shows one page of the
// bundle. The consent screen, the install progress and the uninstall progress differ only in
// the configuration they pass. Everything here runs on the main thread (a single-threaded COM
// apartment) except ui_post_close, which any thread may call; other threads reach the page
// through ui_post_json (product/ui_post.h), whose sink the host installs while its window lives.
#pragma once

#include <cstddef>
#include <cstdint>

// Receives every message the page posts (UTF-8 JSON), on the UI thread.
typedef void (*ui_message_fn)(const char* json, void* context);

// Filled by the caller and kept alive by it for as long as the window lives.
struct ui_host_config {
  const char* page;                   // the bundle's page; null or empty: "index.html"
  const char* title;                  // null or empty: "Corvane"
  int32_t width;                      // logical pixels at 96 DPI; below 1: 720
  int32_t height;                     // below 1: 510
  int close_disabled;                 // close box greyed, WM_CLOSE ignored until ui_enable_close
  const char* close_confirm_text;     // set: closing asks this question first
  const char* close_confirm_caption;  // null: "Corvane"
  ui_message_fn on_message;
  void* on_message_context;
  void (*on_shown)();  // may be null: called once the page is navigated and the window shown
};

// Shows one screen; returns when its window has been destroyed.
void ui_host_run(const ui_host_config* config);
// Switches the living window to another screen (the in-process continuation after consent);
// 0, or -1 when there is no window or no WebView2 yet.
int webview_continue(const ui_host_config* config);

// Closes the window past the close guard and any confirmation. Any thread; nothing without a window.
void ui_post_close();
// Lifts the close guard and re-enables the Close item of the system menu.
void ui_enable_close();
// From now on closing asks this question (null text: close at once). Used by the install page's
// enable_close, which asks before leaving without launching the product.
void ui_set_close_confirmation(const char* text, const char* caption);

// Read after ui_host_run has returned.
bool ui_host_user_confirmed_close();  // the person answered Yes to the close question
bool ui_host_webview_failed();        // WebView2 failed after the window existed (fall back to native)

// The start of a screen, as early as the run can make it: makes the browser's user-data folder
// for the session's interactive user, opens the page bundle (page_bundle_win.h), writes out
// the loader (extract_embedded_loader), loads it, checks for the runtime and asks for the
// browser's environment, which the window created later takes up. The folder
// (the loader's) is in folder_out once known. Failures are logged where they happen.
enum class ui_screen_start {
  started,
  no_folders,  // a folder could not be made (last error set)
  no_webview,  // no loader or no runtime: no WebView2 screen is possible
};
ui_screen_start ui_screen_prepare(char* folder_out, size_t size);

// Whether the pages can be served: 0 when the bundle is there, -1 with the last error set.
int ui_screen_pages_ready();

// After the UI has closed (or did not open): gives back an environment no window took, lets
// the bundle go, deletes the extraction folder and the browser's user-data folder. Failures
// are ignored.
void ui_cleanup_temp(const char* extraction_folder);
