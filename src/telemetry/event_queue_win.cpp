#include <windows.h>

#include <cstdlib>

#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "telemetry/event_queue.h"
#include "telemetry/tracking.h"

namespace {

CRITICAL_SECTION g_lock;
event_list g_list = {};
HANDLE g_work_event = nullptr;
HANDLE g_shutdown_event = nullptr;
kernel_handle g_thread;
volatile LONG g_started = 0;
volatile LONG g_shutdown = 0;
volatile DWORD g_shutdown_tick = 0;

void free_record(queued_event* record) {
  free(record->body);
  free(record);
}

queued_event* take_head() {
  EnterCriticalSection(&g_lock);
  queued_event* record = event_list_pop(&g_list);
  LeaveCriticalSection(&g_lock);
  return record;
}

int list_count() {
  EnterCriticalSection(&g_lock);
  int count = g_list.count;
  LeaveCriticalSection(&g_lock);
  return count;
}

// Delivers until the list is empty; after the shutdown event only an empty list ends it.
DWORD WINAPI sender_thread(LPVOID) {
  for (;;) {
    queued_event* record = take_head();
    if (record) {
      tracking_deliver(record->host_prefix, record->host_domain, record->event_name, record->event_id, record->body);
      free_record(record);
      continue;
    }
    if (WaitForSingleObject(g_shutdown_event, 0) == WAIT_OBJECT_0) {
      if (list_count() == 0) return 0;
      continue;
    }
    HANDLE both[2] = {g_work_event, g_shutdown_event};
    WaitForMultipleObjects(2, both, FALSE, INFINITE);
  }
}

}  // namespace

bool tracking_queue_started() { return g_started != 0; }

int64_t tracking_shutdown_ms_left() {
  if (!g_shutdown || !g_shutdown_event || WaitForSingleObject(g_shutdown_event, 0) != WAIT_OBJECT_0) return -1;
  DWORD spent = GetTickCount() - g_shutdown_tick;
  return spent >= TRACKING_SHUTDOWN_WAIT_MS ? 0 : static_cast<int64_t>(TRACKING_SHUTDOWN_WAIT_MS - spent);
}

void tracking_pause_unless_shutdown(uint32_t ms) {
  // Once shutting down the caller's wait already fits the bound; before, a shut-down that
  // begins ends the pause and the bound takes over.
  if (!g_shutdown_event || tracking_shutdown_ms_left() >= 0)
    Sleep(ms);
  else
    WaitForSingleObject(g_shutdown_event, ms);
}

void tracking_start() {
  if (InterlockedCompareExchange(&g_started, 1, 0) != 0) return;
  InitializeCriticalSection(&g_lock);
  g_work_event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  g_shutdown_event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_work_event && g_shutdown_event) g_thread.reset(CreateThread(nullptr, 0, sender_thread, nullptr, 0, nullptr));
  if (!g_thread) {
    log_error("[tracking] failed to spawn sender thread (GLE=%lu) — events will be dropped", GetLastError());
    InterlockedExchange(&g_shutdown, 1);
  }
}

int tracking_enqueue(const char* host_prefix, const char* host_domain, const char* event_name, const char* event_id,
                     char* body) {
  const char* name = event_name ? event_name : "";
  const char* id = event_id ? event_id : "";
  if (g_shutdown) {
    log_warn("[tracking] dropped '%s' event_id=%s before dispatch (sent after shutdown)", name, id);
    free(body);
    return -1;
  }
  queued_event* record = static_cast<queued_event*>(calloc(1, sizeof(queued_event)));
  if (!record) {
    log_warn("[tracking] dropped '%s' event_id=%s before dispatch (allocation failed)", name, id);
    free(body);
    return -1;
  }
  text_copy(record->host_prefix, host_prefix);
  text_copy(record->host_domain, host_domain);
  text_copy(record->event_name, name);
  text_copy(record->event_id, id);
  record->body = body;
  EnterCriticalSection(&g_lock);
  int pushed = event_list_push(&g_list, record);
  LeaveCriticalSection(&g_lock);
  if (pushed != 0) {
    log_warn("[tracking] dropped '%s' event_id=%s before dispatch (buffer full: %d)", name, id, EVENT_QUEUE_CAPACITY);
    free_record(record);
    return -1;
  }
  SetEvent(g_work_event);
  return 0;
}

void tracking_shutdown() {
  if (!g_started || InterlockedCompareExchange(&g_shutdown, 1, 0) != 0) return;
  g_shutdown_tick = GetTickCount();
  SetEvent(g_shutdown_event);
  if (!g_thread) return;
  if (WaitForSingleObject(g_thread.get(), TRACKING_SHUTDOWN_WAIT_MS) == WAIT_TIMEOUT) {
    log_warn("[tracking] shutdown timeout after %ums (%d events still pending)", TRACKING_SHUTDOWN_WAIT_MS,
             list_count());
    return;
  }
  g_thread.reset();
}
