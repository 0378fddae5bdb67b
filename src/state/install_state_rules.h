// The decisions of install_state_init that need no system: which tag fields land where,
// version normalisation, the host prefix a build name implies, the internal-machine flag.
#pragma once

#include <cstddef>

#include "state/attribution_values.h"
#include "state/install_state.h"

// Takes the attribution and identity fields from decoded tag text, each bounded by its field;
// a host prefix or version the vendor would not issue is refused (added to refused) instead.
void install_state_apply_tag(install_state* state, const char* decoded, attribution_refusals* refused);

// "1.2.3" becomes "1.2.3.0"; versions with another number of dots, or too long, stay.
void normalise_app_version(char* version, size_t size);

// "local-" means the development hosts; with no prefix yet, a "-dev.exe" / "-stage.exe" file
// name chooses the development or staging hosts.
void apply_build_host_prefix(char* host_prefix, size_t size, const char* exe_path);

// "-dev.exe" names give "dev-", "-stage.exe" names give "stage-", others "" (file name only).
const char* host_prefix_from_exe_name(const char* exe_path);

// env_value: CORVANE_INTERNAL when it is set to 1 to 15 characters, else null (the registry
// flag IsInternal == 1 then decides). True when the run is the vendor's own.
bool is_internal_flag(const char* env_value, int registry_says_internal);
