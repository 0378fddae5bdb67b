// Identity a run issues for itself when neither the tag nor the registry supplied it.
#pragma once

#include "state/install_state.h"

// user_id (time-ordered UUID, else one with a zero time, else a random GUID), user_date,
// machine_id, machine_id_sha2 and machine_date, each only when still empty.
void issue_missing_identity(install_state* state);
