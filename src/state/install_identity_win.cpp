#include "state/install_identity.h"

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/timestamp.h"
#include "base/uuid.h"
#include "state/machine_hash.h"

namespace {

void issue_user_id(install_state* state) {
  char id[UUID_TEXT_BUFFER] = "";
  if (uuid_v8_new(id) == 0 || uuid_v8_build(id, 0, 0) == 0) {
    text_copy(state->user_id, id);
    return;
  }
  log_warn("user_id: system random generator failed; falling back to a random GUID");
  id[0] = '\0';
  guid_string_new(id);
  text_copy(state->user_id, id);
}

}  // namespace

void issue_missing_identity(install_state* state) {
  if (!state->user_id[0]) issue_user_id(state);
  if (!state->user_date[0]) local_date_stamp(state->user_date, sizeof state->user_date);
  if (!state->machine_id[0]) {
    char id[UUID_TEXT_BUFFER] = "";
    guid_string_new(id);
    text_copy(state->machine_id, id);
  }
  machine_guid_sha256(state->machine_id_sha2);
  if (!state->machine_date[0]) local_date_stamp(state->machine_date, sizeof state->machine_date);
}
