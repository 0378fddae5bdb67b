// System probes that fill install_state's description of the machine (Windows layer).
// Each probe is independent: a failed call leaves its own field empty and nothing is logged.
#pragma once

#include "base/admin_token.h"  // the elevation checks the probes build on
#include "state/install_state.h"

// The machine description in its fixed order: version, name and edition, architecture,
// language, display scale, antivirus, memory, Windows install date, time zone, default browser.
// The antivirus list comes later, from a thread of its own (probe_antivirus_start).
void probe_system(install_state* state);

// The Security Center's answer through WMI takes long and only the run's reports need it, so
// it is asked for on a thread of its own that fills os_antivirus while the run goes on to its
// screen. Whoever reads that field calls probe_antivirus_wait first (any thread, any number
// of times; returns at once when no probe runs).
void probe_antivirus_start(install_state* state);
void probe_antivirus_wait();

// The single probes.
void probe_os_version(install_state* state);
void probe_os_architecture(install_state* state);
void probe_os_language(install_state* state);
void probe_display_scale(install_state* state);
void probe_antivirus(install_state* state);  // on the calling thread, COM initialised
void probe_memory(install_state* state);
void probe_os_install_date(install_state* state);
void probe_timezone(install_state* state);
void probe_default_browser(install_state* state);
void probe_user_and_computer_names(install_state* state);
void probe_elevation(install_state* state);
void probe_free_disk(install_state* state);

