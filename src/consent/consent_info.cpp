#include "consent/consent_info.h"

#include "base/bounded_text.h"
#include "telemetry/json_escape.h"

int consent_info_json(const consent_info_values& v, char* out, size_t size) {
  char prefix[6 * 64], domain[6 * 32], version[6 * 64];
  json_escape(prefix, sizeof prefix, v.host_prefix);
  json_escape(domain, sizeof domain, v.host_domain);
  json_escape(version, sizeof version, v.existing_version);
  int fit = text_format(out, size,
                        "{\"is_dev\":false,\"dry_run\":%s,\"host_prefix\":\"%s\",\"host_domain\":\"%s\",\"is_uninstall\":%s,"
                        "\"is_elevated\":%s,\"analytics_enabled\":%s,\"has_existing_install\":%s,\"has_c_installer\":%s,"
                        "\"existing_version\":\"%s\",\"uninstall_existing_default\":%s,\"nothing_to_uninstall\":%s}",
                        json_bool(v.dry_run), prefix, domain, json_bool(v.is_uninstall), json_bool(v.is_elevated),
                        json_bool(v.analytics_enabled), json_bool(v.has_existing_install), json_bool(v.has_c_installer), version,
                        json_bool(v.uninstall_existing), json_bool(v.nothing_to_uninstall));
  if (fit) return 0;
  if (size) out[0] = '\0';
  return -1;
}

void consent_click_extras(const consent_click_choices& c, int native_fallback, char* out, size_t size) {
  text_format(out, size, ",\"decrypt_https\":%s,\"uninstall_existing\":%s,\"is_uninstall\":%s,\"is_elevated\":%s,"
              "\"analytics_enabled\":%s%s",
              json_bool(native_fallback || c.decrypt_https), json_bool(c.uninstall_existing), json_bool(c.is_uninstall),
              json_bool(c.is_elevated), json_bool(c.analytics_enabled), native_fallback ? ",\"native_fallback\":true" : "");
}
