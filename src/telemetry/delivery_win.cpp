#include <windows.h>
#include <winhttp.h>

#include <cstdlib>
#include <cstring>

#include "base/http_session_win.h"
#include "base/log.h"
#include "telemetry/delivery_path.h"
#include "telemetry/tracking.h"

namespace {

constexpr int POST_TIMEOUT_MS = 3000;

int post_once(const char* url, const char* wire, unsigned long* status, unsigned long* elapsed_ms) {
  DWORD started = GetTickCount();
  int result = http_post_json(url, wire, status);
  *elapsed_ms = GetTickCount() - started;
  return result;
}

}  // namespace

int http_post_json(const char* url, const char* body, unsigned long* status) {
  *status = 0;
  HINTERNET session = http_session_get();
  if (!session) return -1;
  http_target target;
  if (http_crack_url(url, &target) != 0) return -1;
  winhttp_handle connection, request;
  if (http_open_request(session, &target, L"POST", &connection, &request) != 0) return -1;
  http_set_timeouts(request.get(), POST_TIMEOUT_MS, POST_TIMEOUT_MS, POST_TIMEOUT_MS, POST_TIMEOUT_MS);
  DWORD length = static_cast<DWORD>(strlen(body));
  if (!WinHttpSendRequest(request.get(), L"Content-Type: application/json\r\n", static_cast<DWORD>(-1L),
                          const_cast<char*>(body), length, length, 0) ||
      !WinHttpReceiveResponse(request.get(), nullptr))
    return -1;
  *status = http_status_code(request.get());
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
  for (int i = 0; i < DELIVERY_PATH_COUNT; ++i) {
    char url[512];
    stats_url(&paths[i], host_prefix, name, url, sizeof url);
    delivery_wire_body(body, paths[i].label, wire, size);
    unsigned long status = 0, elapsed = 0;
    int result = post_once(url, wire, &status, &elapsed);
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
  }
  log_error("[tracking] dropped '%s' event_id=%s after %d attempts", name, id, DELIVERY_PATH_COUNT);
  free(wire);
  return -1;
}
