// Attribution across a run: the session-data fetch, its commit to the registry and the
// purge of a host prefix that no completed install confirmed.
#pragma once

#include "state/install_state.h"

typedef void (*attribution_done_fn)(install_state* state);

// Starts the session-data fetch on its own thread; on_done (may be null) runs when it ends.
void install_state_start_attribution(install_state* state, attribution_done_fn on_done);
// Joins a running fetch, then persists attribution and identity to the registry.
void commit_attribution_to_registry(install_state* state);
// Deletes HKLM HostPrefix/HostDomain of the product key (64-bit view).
void install_state_purge_pending_host_prefix();
// Set when an install succeeded in this process; read at shut-down.
void install_state_mark_completed();
int install_state_install_completed();
