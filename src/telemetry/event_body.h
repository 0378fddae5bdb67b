// The JSON body of one event: the 41 base members from install_state, then the extras of
// start, uninstaller, error and caller fragments. Pure: the id, time and duration come in.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/install_state.h"

constexpr size_t EVENT_BODY_SIZE = 6144;

// The error record of failure events; a null category is sent as "".
struct tracking_error {
  const char* category;
  int32_t msi_exit_code;     // -1 when there is none
  int64_t msi_file_size_kb;  // -1 when never measured
};

struct event_fields {
  const char* name;
  const char* message;
  const char* event_id;
  const char* event_time;
  uint32_t duration_sec;
  const tracking_error* error;  // may be null
  const char* extra;            // may be null; begins with a comma and holds whole members
};

enum class event_body_outcome { whole, shortened, extras_dropped };

// Builds the body into out[size] (EVENT_BODY_SIZE). The result is always one valid JSON
// object that never runs past size: a member or extra that does not fit is left out whole
// (shortened for base members, extras_dropped for extras). state may be null.
event_body_outcome event_body_build(const install_state* state, const event_fields* fields, char* out, size_t size);
