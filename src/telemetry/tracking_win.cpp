// STAND-IN until the event builder, queue and delivery are built: every event is logged
// with its name and message and reported as dropped, so the log shows what the run would
// have reported and no caller mistakes it for delivery.
#include <cstdio>

#include "app/log.h"
#include "telemetry/tracking.h"

void tracking_start() {}

void tracking_shutdown() {}

int tracking_send_event(const install_state*, const char* event_name, const char* message, const tracking_error*,
                        const char* extra, char* event_id_out, size_t event_id_size) {
  if (event_id_out && event_id_size) event_id_out[0] = '\0';
  log_info("[tracking] '%s' not sent (telemetry sender not in this build): %s%s", event_name ? event_name : "",
           message ? message : "", extra ? extra : "");
  return -1;
}

int tracking_send(const install_state* state, const char* event_name, const char* message) {
  return tracking_send_event(state, event_name, message, nullptr, nullptr, nullptr, 0);
}

int tracking_send_installer_close(const install_state* state, const char* message, const char* launch_outcome,
                                  const char* exit_stage, const char* launch_error_family) {
  char extra[512];
  snprintf(extra, sizeof extra, " (launch_outcome=%s exit_stage=%s launch_error_family=%s)",
           launch_outcome ? launch_outcome : "", exit_stage ? exit_stage : "",
           launch_error_family ? launch_error_family : "");
  return tracking_send_event(state, "corvane.installer.close", message, nullptr, extra, nullptr, 0);
}
