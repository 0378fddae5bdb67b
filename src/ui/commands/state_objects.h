// The objects the progress pages read first with get_install_state: who and what this run is,
// for the pages' own telemetry and texts. Every text value is escaped, so the page receives
// valid JSON whatever the registry, the tag block or the session data put in the record.
#pragma once

#include <cstddef>

#include "state/install_state.h"

// Room for every member at its longest escaped length and a full browser array.
constexpr size_t UI_STATE_OBJECT_SIZE = 20480;

// The install page's object: 26 text members, dry_run, analytics_enabled, uninstall_first
// (asked for and something found to remove) and "browsers" (an array text from browsers_json).
// 0, or -1 when out was too small and the object is incomplete.
int ui_install_state_object(const install_state* state, const char* browsers_array, char* out, size_t size);

// The uninstall page's object: 22 text members (the installed product's version as
// client_version) and dry_run.
int ui_uninstall_state_object(const install_state* state, char* out, size_t size);
