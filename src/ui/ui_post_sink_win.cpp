// Other threads reach the page by posting a heap copy of their text to the host window; the
// window's thread sends it on and frees it. Posts to one window from one thread keep their order.
#include <atomic>

#include "base/ui_post.h"
#include "base/wide_win.h"
#include "ui/ui_host_window_win.h"

namespace {

std::atomic<HWND> g_post_window{nullptr};

void post_to_window(const char* json) {
  HWND window = g_post_window.load();
  if (!window || !json) return;
  wchar_t* text = utf8_to_wide_heap(json);
  if (!text) return;
  // A window destroyed since the load refuses the post; the text then stays ours.
  if (!PostMessageW(window, WM_UI_POST_JSON, 0, reinterpret_cast<LPARAM>(text))) HeapFree(GetProcessHeap(), 0, text);
}

}  // namespace

void ui_poster_install(HWND window) {
  g_post_window.store(window);
  ui_set_post_sink(post_to_window);
}

void ui_poster_remove() {
  ui_set_post_sink(nullptr);
  g_post_window.store(nullptr);
}

void ui_poster_free(LPARAM text) {
  if (text) HeapFree(GetProcessHeap(), 0, reinterpret_cast<void*>(text));
}

void ui_poster_drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_UI_POST_JSON, WM_UI_POST_JSON, PM_REMOVE)) ui_poster_free(msg.lParam);
}

void ui_post_close() {
  HWND window = g_post_window.load();
  if (window) PostMessageW(window, WM_UI_CLOSE, 0, 0);
}
