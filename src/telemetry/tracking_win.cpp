#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/timestamp.h"
#include "base/uuid.h"
#include "state/os_probe.h"
#include "telemetry/event_extras.h"
#include "telemetry/tracking.h"

namespace {

// Written only by the thread that sends the start event; a torn read would merely skew one
// duration, which is why no lock is taken.
volatile LONG g_has_start = 0;
volatile DWORD g_start_tick = 0;

uint32_t duration_for(const char* name) {
  DWORD now = GetTickCount();
  if (name && strcmp(name, EVENT_INSTALLER_START) == 0) {
    g_start_tick = now;
    g_has_start = 1;
    return 0;
  }
  return g_has_start ? static_cast<uint32_t>(now - g_start_tick) / 1000u : 0;
}

char* heap_copy(const char* text) {
  size_t len = strlen(text) + 1;
  char* copy = static_cast<char*>(malloc(len));
  if (copy) memcpy(copy, text, len);
  return copy;
}

int dispatch(const install_state* state, const char* name, const char* id, char* body) {
  const char* prefix = state ? state->host_prefix : "";
  const char* domain = state ? state->host_domain : "";
  if (!tracking_queue_started()) {
    int result = tracking_deliver(prefix, domain, name, id, body);
    free(body);
    return result;
  }
  return tracking_enqueue(prefix, domain, name, id, body);
}

}  // namespace

int tracking_send_event(const install_state* state, const char* event_name, const char* message,
                        const tracking_error* error, const char* extra, char* event_id_out, size_t event_id_size) {
  if (event_id_out && event_id_size) event_id_out[0] = '\0';
  const char* name = event_name ? event_name : "";
  char id[UUID_TEXT_BUFFER];
  if (uuid_v8_new(id) != 0) {
    log_error("[tracking] dropped '%s' event_id=<unavailable> before dispatch (UUID-v8 source-1 generation failed)",
              name);
    return -1;
  }
  char time_text[TIMESTAMP_BUFFER];
  event_fields fields{name, message, id, time_text, duration_for(event_name), error, extra};
  utc_timestamp_ms(time_text, sizeof time_text);
  static thread_local char body[EVENT_BODY_SIZE];
  probe_antivirus_wait();
  event_body_outcome outcome = event_body_build(state, &fields, body, sizeof body);
  if (outcome == event_body_outcome::shortened)
    log_warn("[tracking] '%s' event_id=%s: values cut short to fit the body", name, id);
  if (outcome == event_body_outcome::extras_dropped)
    log_warn("[tracking] '%s' event_id=%s: extras left out to fit the body", name, id);
  if (strcmp(name, "support_request") == 0)
    log_debug("[tracking] attempting '%s' event_id=%s payload=<suppressed>", name, id);
  else
    log_debug("[tracking] attempting '%s' event_id=%s payload=%s", name, id, body);
  char* copy = heap_copy(body);
  if (!copy) {
    log_warn("[tracking] dropped '%s' event_id=%s before dispatch (body allocation failed)", name, id);
    return -1;
  }
  int result = dispatch(state, name, id, copy);
  if (result == 0 && event_id_out && event_id_size) text_copy(event_id_out, event_id_size, id);
  return result;
}

int tracking_send(const install_state* state, const char* event_name, const char* message) {
  return tracking_send_event(state, event_name, message, nullptr, nullptr, nullptr, 0);
}

int tracking_send_error(const install_state* state, const char* event_name, const char* message,
                        const tracking_error* error) {
  char details[256];
  event_error_details(event_name, error, state, details, sizeof details);
  log_write_error_details(message ? message : "", details);
  return tracking_send_event(state, event_name, message, error, nullptr, nullptr, 0);
}

int tracking_send_page(const install_state* state, const char* event_name, const char* page_name) {
  if (state && !state->analytics_enabled) {
    log_debug("[tracking] suppressed '%s' page=%s (analytics_enabled=0)", event_name ? event_name : "",
              page_name ? page_name : "");
    return 0;
  }
  char extra[EVENT_EXTRA_SIZE];
  event_extra_page(page_name, extra, sizeof extra);
  return tracking_send_event(state, event_name, page_name, nullptr, extra, nullptr, 0);
}

int tracking_send_installer_page(const install_state* state, const char* page_name) {
  return tracking_send_page(state, EVENT_INSTALLER_PAGE, page_name);
}

int tracking_send_click(const install_state* state, const char* event_name, const char* extra) {
  if (state && !state->analytics_enabled) {
    log_debug("[tracking] suppressed '%s' click=%s page=%s (analytics_enabled=0)", event_name ? event_name : "",
              "welcome_install", "welcome");
    return 0;
  }
  char full[EVENT_EXTRA_SIZE];
  event_extra_click(extra, full, sizeof full);
  return tracking_send_event(state, event_name, "welcome_install", nullptr, full, nullptr, 0);
}

int tracking_send_close(const install_state* state, const char* message, const tracking_close_record* record) {
  char extra[EVENT_EXTRA_SIZE];
  event_extra_close(record->launch_outcome, record->exit_stage, record->install_event_id,
                    record->launch_error_family, extra, sizeof extra);
  return tracking_send_event(state, EVENT_INSTALLER_CLOSE, message, nullptr, extra, nullptr, 0);
}

int tracking_send_installer_close(const install_state* state, const char* message, const char* launch_outcome,
                                  const char* exit_stage, const char* launch_error_family) {
  tracking_close_record record{launch_outcome, exit_stage, state ? state->install_event_id : nullptr,
                               launch_error_family};
  return tracking_send_close(state, message, &record);
}
