#include "telemetry/event_names.h"

#include <cstring>

bool event_is_close(const char* name) {
  return name && (strcmp(name, EVENT_INSTALLER_CLOSE) == 0 || strcmp(name, EVENT_UNINSTALLER_CLOSE) == 0);
}
