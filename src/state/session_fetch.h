// The background half of the attribution: ask the session worker about the visit and merge
// its answer into the state (Windows layer; the rules themselves are in session_response).
#pragma once

#include <windows.h>

#include "base/handle_win.h"
#include "state/attribution.h"
#include "state/session_response.h"

struct attribution_context {
  install_state* state;
  attribution_done_fn on_complete;
  kernel_handle done_event;
  int user_id_persisted;
  int user_date_persisted;
  char motw_prefix[64];
  char motw_sid[64];
  char motw_domain[32];
  char response[SESSION_RESPONSE_SIZE];
};

// Runs the fetch for context (on the attribution thread, or inline), calls on_complete and
// sets the done event. Never fails the run: any problem leaves the state as it was.
void session_fetch(attribution_context* context);
