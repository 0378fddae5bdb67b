// The Internet settings of the person who started the run, read once (Windows layer).
#pragma once

#include <cstddef>

#include "base/proxy_config.h"

// Finds the SID of the person an elevated run acts for; 0 with sid filled, -1 when unknown.
typedef int (*proxy_user_fn)(char* sid, size_t size);

// Set before the first request by a run that may be elevated: its own HKCU may belong to an
// administrator who only signed the elevation, so the settings come from the hive of the
// user the finder names (HKEY_USERS\<sid>) and from HKCU only when it names none.
void proxy_settings_user(proxy_user_fn finder);

// The settings, read on the first call (with the line saying from where) and kept for the run.
const proxy_settings* proxy_settings_get();
