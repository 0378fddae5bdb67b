// Telemetry API: every event is one JSON object built from install_state, queued for the
// background sender and delivered to the stats host over six paths.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/install_state.h"
#include "telemetry/event_body.h"
#include "telemetry/event_names.h"

// Starts the sender once per process (later calls do nothing). Before it runs, events are
// delivered on the sending thread.
void tracking_start();
// Stops accepting events and waits at most 20000 ms for the queue to drain; a second call
// does nothing.
void tracking_shutdown();

constexpr unsigned TRACKING_SHUTDOWN_WAIT_MS = 20000;

// 0 when queued (or, before tracking_start, delivered), -1 when dropped. event_id_out, when
// given with a size, is emptied and on success receives the event's id.
int tracking_send_event(const install_state* state, const char* event_name, const char* message,
                        const tracking_error* error, const char* extra, char* event_id_out, size_t event_id_size);
int tracking_send(const install_state* state, const char* event_name, const char* message);
// Writes the failure line to the log, then sends the event with the error record.
int tracking_send_error(const install_state* state, const char* event_name, const char* message,
                        const tracking_error* error);
// Page and click events need usage-data consent when a state is given.
int tracking_send_page(const install_state* state, const char* event_name, const char* page_name);
int tracking_send_installer_page(const install_state* state, const char* page_name);
int tracking_send_click(const install_state* state, const char* event_name, const char* extra);

struct tracking_close_record {
  const char* launch_outcome;
  const char* exit_stage;
  const char* install_event_id;     // may be null
  const char* launch_error_family;  // may be null
};
int tracking_send_close(const install_state* state, const char* message, const tracking_close_record* record);
int tracking_send_installer_close(const install_state* state, const char* message, const char* launch_outcome,
                                  const char* exit_stage, const char* launch_error_family);

// The queue's producer side and the delivery (used by the builder and the sender thread).
// enqueue takes ownership of body (heap, freed on every path).
bool tracking_queue_started();
int tracking_enqueue(const char* host_prefix, const char* host_domain, const char* event_name, const char* event_id,
                     char* body);
// 0 when a path answered 2xx, -1 when the event was dropped after six attempts.
int tracking_deliver(const char* host_prefix, const char* attributed_domain, const char* event_name,
                     const char* event_id, const char* body);
// One POST of a JSON body on the shared session: 0 when a response arrived (status holds its
// code, 0 when unreadable), -1 when none did (status 0). retry_after_s: the seconds a 429 or
// 503 asked to wait ("Retry-After"), -1 when it asked for none.
int http_post_json(const char* url, const char* body, unsigned long* status, int64_t* retry_after_s);
// The sender's side of a Retry-After: the ms left of the shut-down bound once tracking_shutdown
// has begun (-1 before), and a pause that a shut-down beginning meanwhile ends early.
int64_t tracking_shutdown_ms_left();
void tracking_pause_unless_shutdown(uint32_t ms);
