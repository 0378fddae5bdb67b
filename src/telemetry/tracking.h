// Telemetry API: every event is one JSON object built from install_state and queued for the
// background sender.
#pragma once

#include <cstddef>

#include "state/install_state.h"

struct tracking_error {
  const char* category;
  const char* details;
};

// Starts the sender once per process (later calls do nothing).
void tracking_start();
// Drains the queue, waiting a bounded time; a second call is harmless.
void tracking_shutdown();

int tracking_send_event(const install_state* state, const char* event_name, const char* message,
                        const tracking_error* error, const char* extra, char* event_id_out, size_t event_id_size);
int tracking_send(const install_state* state, const char* event_name, const char* message);
int tracking_send_installer_close(const install_state* state, const char* message, const char* launch_outcome,
                                  const char* exit_stage, const char* launch_error_family);
