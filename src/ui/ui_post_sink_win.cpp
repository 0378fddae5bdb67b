// Other threads reach the page through a queue of this process's own: each post appends a
// heap copy of its text under a lock and wakes the window's thread with a message that carries
// nothing. Any process can post that message number to the window, so the window never takes
// a pointer from a message; it only empties the queue, oldest text first.
#include <atomic>

#include "base/handle_win.h"
#include "product/ui_post.h"
#include "base/wide_win.h"
#include "product/ui_post.h"
#include "ui/ui_host_window_win.h"

namespace {

struct posted_text {
  posted_text* next;
  wchar_t* text;
};

std::atomic<HWND> g_post_window{nullptr};
SRWLOCK g_queue_lock = SRWLOCK_INIT;
posted_text* g_queue_head = nullptr;
posted_text* g_queue_tail = nullptr;

void enqueue(posted_text* item) {
  AcquireSRWLockExclusive(&g_queue_lock);
  if (g_queue_tail)
    g_queue_tail->next = item;
  else
    g_queue_head = item;
  g_queue_tail = item;
  ReleaseSRWLockExclusive(&g_queue_lock);
}

// The whole queue, oldest first; the queue is left empty.
posted_text* take_all() {
  AcquireSRWLockExclusive(&g_queue_lock);
  posted_text* all = g_queue_head;
  g_queue_head = g_queue_tail = nullptr;
  ReleaseSRWLockExclusive(&g_queue_lock);
  return all;
}

void post_to_window(const char* json) {
  HWND window = g_post_window.load();
  if (!window || !json) return;
  heap_block<posted_text> item = heap_allocate<posted_text>(1);
  if (!item) return;
  item->next = nullptr;
  item->text = utf8_to_wide_heap(json);
  if (!item->text) return;
  enqueue(item.release());
  // A refused wake-up loses nothing: the next one, or the drain at the window's end, takes it.
  PostMessageW(window, WM_UI_POST_JSON, 0, 0);
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

void ui_poster_deliver(void (*send)(const wchar_t* text)) {
  for (posted_text* item = take_all(); item;) {
    heap_block<posted_text> node(item);
    heap_block<wchar_t> text(item->text);
    item = item->next;
    if (send) send(text.get());
  }
}

void ui_poster_drain() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, WM_UI_POST_JSON, WM_UI_POST_JSON, PM_REMOVE)) {
  }
  ui_poster_deliver(nullptr);
}

void ui_post_close() {
  HWND window = g_post_window.load();
  if (window) PostMessageW(window, WM_UI_CLOSE, 0, 0);
}
