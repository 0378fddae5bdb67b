#include "consent/relaunch_arguments.h"

#include "base/bounded_text.h"

void relaunch_arguments(const consent_choices& c, int existing_found, char* out, size_t size) {
  text_format(out, size, "/SKIPWELCOME%s%s%s%s", c.dry_run ? " /DRYRUN" : "",
              (existing_found && c.uninstall_existing) ? " /UNINSTALLFIRST" : "",
              c.decrypt_https ? "" : " /DECRYPTHTTPS=0", c.usage_data ? " /USAGEDATA=1" : " /USAGEDATA=0");
}

void native_relaunch_arguments(const char* dry_suffix, int existing_found, int tag_preference,
                               int analytics_enabled, char* out, size_t size) {
  text_format(out, size, "/SKIPWELCOME%s%s%s", dry_suffix ? dry_suffix : "",
              (existing_found && tag_preference != 0) ? " /UNINSTALLFIRST" : "",
              analytics_enabled ? " /USAGEDATA=1" : " /USAGEDATA=0");
}

void elevation_parameters(const char* own_args, const char* relaunch, char* out, size_t size) {
  text_format(out, size, "%s %s", own_args ? own_args : "", relaunch ? relaunch : "");
}
