#include <windows.h>
#include <winhttp.h>

#include <cstdlib>
#include <cstring>

#include "base/http_session_win.h"
#include "base/log.h"
#include "base/timestamp.h"
#include "telemetry/delivery_path.h"
#include "telemetry/retry_after.h"
#include "telemetry/tracking.h"

namespace {

constexpr int POST_TIMEOUT_MS = 3000;

// The seconds a 429 or 503 asks for, or -1 when it names none that can be read.
int64_t retry_after(HINTERNET request, DWORD status) {
  if (status != 429 && status != 503) return -1;
  char text[64];
  uint64_t seconds = 0;
  if (http_header_text(request, WINHTTP_QUERY_RETRY_AFTER, text, sizeof text) != header_text::present ||
      retry_after_seconds(text, unix_seconds_now(), &seconds) != 0)
    return -1;
  return static_cast<int64_t>(seconds);
}

struct post_outcome {
  unsigned long status;
  unsigned long elapsed_ms;
  int64_t retry_after_s;
};

int post_once(const char* url, const char* wire, post_outcome* outcome) {
  DWORD started = GetTickCount();
  int result = http_post_json(url, wire, &outcome->status, &outcome->retry_after_s);
  outcome->elapsed_ms = GetTickCount() - started;
  return result;
}

// The host asked for a pause before the next attempt: honoured once per event, up to the cap,
// and while the sender shuts down only as far as its bound leaves room; a shut-down that
// begins meanwhile ends the pause.
void pause_as_asked(const char* name, const char* id, int64_t seconds, int* paused) {
  if (seconds < 0 || *paused) return;
  *paused = 1;
  uint32_t wait = retry_after_wait_ms(static_cast<uint64_t>(seconds), tracking_shutdown_ms_left());
  log_info("[tracking] '%s' event_id=%s: the stats host asks to retry after %lld s — waiting %u ms", name, id,
           static_cast<long long>(seconds), wait);
  if (wait) tracking_pause_unless_shutdown(wait);
}

}  // namespace

int http_post_json(const char* url, const char* body, unsigned long* status, int64_t* retry_after_s) {
  *status = 0;
  *retry_after_s = -1;
  http_target target;
  if (http_crack_url(url, &target) != 0) return -1;
  HINTERNET session = http_session_get(&target);
  if (!session) return -1;
  winhttp_handle connection, request;
  if (http_open_request(session, &target, L"POST", &connection, &request) != 0) return -1;
  http_set_timeouts(request.get(), POST_TIMEOUT_MS, POST_TIMEOUT_MS, POST_TIMEOUT_MS, POST_TIMEOUT_MS);
  DWORD length = static_cast<DWORD>(strlen(body)), code = 0;
  if (http_send_signed_in(request.get(), L"Content-Type: application/json\r\n", const_cast<char*>(body), length,
                          &code) != 0)
    return -1;
  *status = code;
  *retry_after_s = retry_after(request.get(), code);
  return 0;
}

int tracking_deliver(const char* host_prefix, const char* attributed_domain, const char* event_name,
                     const char* event_id, const char* body) {
  const char* name = event_name ? event_name : "";
  const char* id = event_id ? event_id : "";
  size_t len = body ? strlen(body) : 0;
  if (len == 0 || body[len - 1] != '}') {
    log_error("[tracking] dropped '%s' event_id=%s: invalid body", name, id);
    return -1;
  }
  size_t size = len + DELIVERY_TAG_ROOM;
  char* wire = static_cast<char*>(malloc(size));
  if (!wire) {
    log_error("[tracking] dropped '%s' event_id=%s: delivery-path allocation failed", name, id);
    return -1;
  }
  delivery_path paths[DELIVERY_PATH_COUNT];
  delivery_paths_build(attributed_domain, paths);
  int paused = 0;
  for (int i = 0; i < DELIVERY_PATH_COUNT; ++i) {
    char url[512];
    stats_url(&paths[i], host_prefix, name, url, sizeof url);
    delivery_wire_body(body, paths[i].label, wire, size);
    post_outcome outcome{};
    int result = post_once(url, wire, &outcome);
    unsigned long status = outcome.status, elapsed = outcome.elapsed_ms;
    if (result == 0 && status >= 200 && status <= 299) {
      log_info("[tracking] sent '%s' event_id=%s (%d) in %lums via %s/%s", name, id, static_cast<int>(status), elapsed,
               paths[i].scheme, paths[i].domain);
      free(wire);
      return 0;
    }
    if (i == DELIVERY_PATH_COUNT - 1) break;
    if (status > 0)
      log_warn("[tracking] retry %d/%d for '%s' event_id=%s: http %d (%s/%s, %lums)", i + 1, DELIVERY_PATH_COUNT, name,
               id, static_cast<int>(status), paths[i].scheme, paths[i].domain, elapsed);
    else
      log_warn("[tracking] retry %d/%d for '%s' event_id=%s: transport failure (%s/%s, %lums)", i + 1,
               DELIVERY_PATH_COUNT, name, id, paths[i].scheme, paths[i].domain, elapsed);
    pause_as_asked(name, id, outcome.retry_after_s, &paused);
  }
  log_error("[tracking] dropped '%s' event_id=%s after %d attempts", name, id, DELIVERY_PATH_COUNT);
  free(wire);
  return -1;
}
