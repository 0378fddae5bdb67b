#include "state/session_fetch.h"

#include <cstring>

#include "base/json_field.h"
#include "base/log.h"
#include "state/session_get.h"
#include "state/session_query.h"

namespace {

// One GET and, after a 429, one wait of at most 5 s and one more GET.
int fetch_with_one_retry(const char* host, const char* path, char* response, size_t size) {
  int delay = 0;
  int status = session_get(host, path, response, size, &delay);
  if (status == 429) {
    log_warn("session_fetch: 429 from worker, sleeping %d ms before retry", delay);
    Sleep(static_cast<DWORD>(delay));
    response[0] = '\0';
    status = session_get(host, path, response, size, &delay);
  }
  return status;
}

void merge_answer(attribution_context* c, unsigned long elapsed) {
  install_state* s = c->state;
  log_info("session_fetch: ok (%lu ms, %d bytes)", elapsed, static_cast<int>(strlen(c->response)));
  char match[16] = "";
  attribution_refusals refused{};
  int merged = session_merge(s, c->response, c->user_id_persisted, c->user_date_persisted, match, &refused);
  log_attribution_refusals("the session data", &refused);
  uint32_t stamp = 0;
  session_timestamp_kind kind = session_current_timestamp(c->response, &stamp);
  if (kind == session_timestamp_kind::in_range)
    s->server_timestamp = stamp;
  else if (kind == session_timestamp_kind::out_of_range)
    log_warn("session-data current_timestamp %lu out of range, falling back to the local clock",
             static_cast<unsigned long>(stamp));
  char download_datetime[40] = "";
  json_string_field(c->response, "download_datetime", download_datetime, sizeof download_datetime);
  log_info("ENG-828 session-data (bg): match=%s, download_datetime=\"%s\", user_date=\"%s\", server_timestamp=%lu",
           merged ? match : "none", download_datetime, s->user_date, static_cast<unsigned long>(s->server_timestamp));
}

}  // namespace

void session_fetch(attribution_context* c) {
  if (c->state) {
    char host[SESSION_HOST_SIZE], path[SESSION_PATH_SIZE];
    session_fetch_host(c->motw_prefix, c->motw_domain, host, sizeof host);
    session_fetch_path(c->motw_sid, c->user_id_persisted ? c->state->user_id : nullptr, c->state->os_name, path);
    c->response[0] = '\0';
    log_info("session_fetch: GET https://%s%s", host, path);
    DWORD started = GetTickCount();
    int status = fetch_with_one_retry(host, path, c->response, sizeof c->response);
    unsigned long elapsed = GetTickCount() - started;
    if (status != 200) {
      log_warn("session_fetch: failed (status=%d, elapsed=%lu ms)", status, elapsed);
      c->response[0] = '\0';
    } else {
      merge_answer(c, elapsed);
    }
  }
  if (c->state && c->on_complete) c->on_complete(c->state);
  if (c->done_event) SetEvent(c->done_event.get());
}
