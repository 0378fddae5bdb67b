#include "ui/commands/state_objects.h"

#include "base/bounded_text.h"
#include "product/product.h"
#include "telemetry/json_escape.h"

namespace {

struct text_member {
  const char* key;
  const char* value;
};

// "{" and the members in order; true when all fit.
template <size_t N>
bool open_with_members(const text_member (&members)[N], char* out, size_t size) {
  text_copy(out, size, "{");
  for (size_t i = 0; i < N; ++i)
    if (!json_append_string_member(out, size, members[i].key, members[i].value, JSON_MEMBER_VALUE_MAX, i == 0))
      return false;
  return true;
}

}  // namespace

int ui_install_state_object(const install_state* state, const char* browsers_array, char* out, size_t size) {
  const install_state& s = *state;
  const text_member members[] = {
      {"user_id", s.user_id},
      {"machine_id_sha2", s.machine_id_sha2},
      {"utm_source", s.utm_source},
      {"utm_medium", s.utm_medium},
      {"utm_campaign", s.utm_campaign},
      {"utm_content", s.utm_content},
      {"utm_term", s.utm_term},
      {"gclid", s.gclid},
      {"msclkid", s.msclkid},
      {"fbclid", s.fbclid},
      {"installer_version", INSTALLER_VERSION},
      {"os_name", s.os_name},
      {"os_edition", s.os_edition},
      {"os_version", s.os_version},
      {"os_build", s.os_build},
      {"os_language", s.os_language},
      {"os_language_code", s.os_language_code},
      {"os_display_scale", s.os_display_scale},
      {"os_antivirus", s.os_antivirus},
      {"os_memory_mb", s.os_memory_mb},
      {"os_install_date", s.os_install_date},
      {"os_timezone", s.os_timezone},
      {"browser_name_default", s.browser_name_default},
      {"browser_name", s.browser_name},
      {"host_prefix", s.host_prefix},
      {"host_domain", s.host_domain},
  };
  if (!open_with_members(members, out, size)) return -1;
  int found = existing_install_found(s.existing);
  char tail[128];
  text_format(tail, sizeof tail,
              ",\"dry_run\":%s,\"analytics_enabled\":%s,\"uninstall_first\":%s,\"browsers\":", json_bool(s.dry_run),
              json_bool(s.analytics_enabled), json_bool(s.uninstall_first && found));
  return json_append_whole(out, size, tail) && json_append_whole(out, size, browsers_array) &&
                 json_append_whole(out, size, "}")
             ? 0
             : -1;
}

int ui_uninstall_state_object(const install_state* state, char* out, size_t size) {
  const install_state& s = *state;
  const text_member members[] = {
      {"user_id", s.user_id},
      {"machine_id_sha2", s.machine_id_sha2},
      {"installer_version", INSTALLER_VERSION},
      {"client_version", s.product_version},
      {"install_date", s.install_date},
      {"os_name", s.os_name},
      {"os_version", s.os_version},
      {"os_build", s.os_build},
      {"os_arch", s.os_architecture},
      {"os_language", s.os_language},
      {"os_language_code", s.os_language_code},
      {"browser_name_default", s.browser_name_default},
      {"utm_source", s.utm_source},
      {"utm_medium", s.utm_medium},
      {"utm_campaign", s.utm_campaign},
      {"utm_content", s.utm_content},
      {"utm_term", s.utm_term},
      {"gclid", s.gclid},
      {"fbclid", s.fbclid},
      {"msclkid", s.msclkid},
      {"host_prefix", s.host_prefix},
      {"host_domain", s.host_domain},
  };
  if (!open_with_members(members, out, size)) return -1;
  char tail[32];
  text_format(tail, sizeof tail, ",\"dry_run\":%s}", json_bool(s.dry_run));
  return json_append_whole(out, size, tail) ? 0 : -1;
}
