#include "telemetry/event_body.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "base/bounded_text.h"
#include "product/product.h"
#include "telemetry/event_names.h"
#include "telemetry/json_escape.h"

namespace {

struct member {
  const char* key;
  const char* value;
  size_t limit;
};

const install_state k_empty_state = {};

// The base members in their fixed order; "install_duration_sec" (a number) is inserted
// before "source" by the writer.
int base_members(const install_state& s, const event_fields& f, member out[40]) {
  const member table[] = {
      {"event", f.name, 128}, {"event_id", f.event_id, 40}, {"event_time", f.event_time, 40},
      {"schema_version", "2", 2}, {"message", f.message, 256}, {"user_id", s.user_id, 256},
      {"user_date", s.user_date, 32}, {"machine_id", s.machine_id, 256},
      {"machine_id_sha2", s.machine_id_sha2, 256}, {"machine_date", s.machine_date, 32},
      {"install_date", s.install_date, 32}, {"installer_version", INSTALLER_VERSION, 32},
      {"utm_campaign", s.utm_campaign, 256}, {"utm_content", s.utm_content, 256},
      {"utm_medium", s.utm_medium, 256}, {"utm_source", s.utm_source, 256}, {"utm_term", s.utm_term, 256},
      {"gclid", s.gclid, 256}, {"fbclid", s.fbclid, 256}, {"msclkid", s.msclkid, 256},
      {"os_name", s.os_name, 128}, {"os_edition", s.os_edition, 128}, {"os_version", s.os_version, 64},
      {"os_build", s.os_build, 32}, {"os_architecture", s.os_architecture, 32},
      {"os_language", s.os_language, 128}, {"os_language_code", s.os_language_code, 32},
      {"os_display_scale", s.os_display_scale, 32}, {"os_antivirus", s.os_antivirus, 512},
      {"os_memory_mb", s.os_memory_mb, 64}, {"os_install_date", s.os_install_date, 64},
      {"os_timezone", s.os_timezone, 256}, {"browser_name_default", s.browser_name_default, 256},
      {"browser_name", s.browser_name, 128}, {"browser_version", s.browser_version, 128},
      {"is_elevated", json_bool(s.is_elevated), 16}, {"is_admin", json_bool(s.is_admin), 16},
      {"is_internal", json_bool(s.is_internal), 16},
      {"free_disk_mb", s.free_disk_mb, 16}, {"source", "installer", 16},
  };
  memcpy(out, table, sizeof table);
  return static_cast<int>(sizeof table / sizeof table[0]);
}

// The base part without its closing brace. Members are appended whole, so a buffer too small
// for all of them (the record's field sizes keep the full base under 6,000 characters) ends
// the part early but never mid-member. Returns 0 when a member was left out.
bool write_base(const install_state& s, const event_fields& f, char* out, size_t size) {
  member members[40];
  int count = base_members(s, f, members);
  out[0] = '\0';
  json_append_whole(out, size, "{");
  for (int i = 0; i < count; ++i) {
    if (strcmp(members[i].key, "source") == 0) {
      char duration[48];
      text_format(duration, sizeof duration, ",\"install_duration_sec\":%" PRIu32, f.duration_sec);
      if (!json_append_whole(out, size, duration)) return false;
    }
    if (!json_append_string_member(out, size, members[i].key, members[i].value, members[i].limit, i == 0)) return false;
  }
  return true;
}

// Extras in their fixed order; each is appended whole or not at all. Returns 1 when all fit.
bool write_extras(const install_state& s, const event_fields& f, char* out, size_t size) {
  bool all = true;
  char piece[160], value[80];
  if (f.name && strcmp(f.name, EVENT_INSTALLER_START) == 0) {
    if (s.product_version[0]) {
      json_escape(value, 64, s.product_version);
      text_format(piece, 128, ",\"client_version_existing\":\"%s\"", value);
      all &= json_append_whole(out, size, piece);
    }
    text_format(piece, sizeof piece, ",\"is_send_usage_data_enabled\":%s", json_bool(s.analytics_enabled));
    all &= json_append_whole(out, size, piece);
    text_format(piece, sizeof piece, ",\"is_https_filtering_enabled\":%s", json_bool(s.decrypt_https));
    all &= json_append_whole(out, size, piece);
  }
  if (f.name && strncmp(f.name, EVENT_UNINSTALLER_PREFIX, strlen(EVENT_UNINSTALLER_PREFIX)) == 0) {
    text_format(piece, sizeof piece, ",\"is_uninstall_before_install\":\"%s\"", json_bool(s.is_uninstall_before_install));
    all &= json_append_whole(out, size, piece);
  }
  if (f.error) {
    json_escape(value, 64, f.error->category);
    text_format(piece, sizeof piece, ",\"error_category\":\"%s\",\"msi_exit_code\":%" PRId32
                ",\"msi_file_size_kb\":%" PRId64, value, f.error->msi_exit_code, f.error->msi_file_size_kb);
    all &= json_append_whole(out, size, piece);
  }
  if (f.extra && f.extra[0]) all &= json_append_whole(out, size, f.extra);
  return all;
}

}  // namespace

event_body_outcome event_body_build(const install_state* state, const event_fields* fields, char* out, size_t size) {
  const install_state& s = state ? *state : k_empty_state;
  if (size < 3) {  // not even "{}" fits
    if (size) out[0] = '\0';
    return event_body_outcome::shortened;
  }
  size_t room = size - 1;  // the closing brace always has its byte
  event_body_outcome outcome = event_body_outcome::whole;
  if (!write_base(s, *fields, out, room))
    outcome = event_body_outcome::shortened;
  else if (!write_extras(s, *fields, out, room))
    outcome = event_body_outcome::extras_dropped;
  size_t used = strlen(out);
  out[used] = '}';
  out[used + 1] = '\0';
  return outcome;
}
