// The extra members of page, click and close events, and the detail text of error events.
// Every caller-supplied text is escaped, and a piece that would not fit is left out whole.
#pragma once

#include <cstddef>

#include "state/install_state.h"
#include "telemetry/event_body.h"

constexpr size_t EVENT_EXTRA_SIZE = 512;  // 511 characters and the terminator

void event_extra_page(const char* page_name, char* out, size_t size);
// The click's own members, then the caller's fragment when the whole still fits.
void event_extra_click(const char* fragment, char* out, size_t size);
// launch_outcome and exit_stage always; install_event_id and launch_error_family when non-empty.
void event_extra_close(const char* launch_outcome, const char* exit_stage, const char* install_event_id,
                       const char* launch_error_family, char* out, size_t size);

// The details of an error event's log line (at most 255 characters).
void event_error_details(const char* event_name, const tracking_error* error, const install_state* state, char* out,
                         size_t size);
