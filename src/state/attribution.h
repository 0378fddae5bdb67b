// Attribution across a run: the session-data fetch, its commit to the registry and the
// purge of a host prefix that no completed install confirmed.
#pragma once

#include "state/attribution_values.h"
#include "state/install_state.h"

typedef void (*attribution_done_fn)(install_state* state);

// Reads the Mark of the Web (its prefix and domain replace the state's), then fetches session
// data on its own thread; on_done (may be null) runs when the fetch ends. One at a time.
void install_state_start_attribution(install_state* state, attribution_done_fn on_done);
// Joins the fetch, then writes identity (HKCU) and, when elevated, attribution (HKLM) of the
// state the attribution was started for. A second call, or one without a start, does nothing.
void commit_attribution_to_registry(install_state* state);
// One warning per value a source named and the program refused ("the tag block", ...).
void log_attribution_refusals(const char* source, const attribution_refusals* refused);
// Deletes HKLM HostPrefix/HostDomain of the product key (64-bit view).
void install_state_purge_pending_host_prefix();
// Set when an install succeeded in this process; read at shut-down.
void install_state_mark_completed();
bool install_state_install_completed();
