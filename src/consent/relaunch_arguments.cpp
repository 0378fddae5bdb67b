#include "consent/relaunch_arguments.h"

#include "base/bounded_text.h"
#include "product/switch_names.h"

namespace {

int whole_or_empty(int fit, char* out, size_t size) {
  if (fit) return 0;
  if (size) out[0] = '\0';
  return -1;
}

bool is_blank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

int relaunch_arguments(const consent_choices& c, int existing_found, char* out, size_t size) {
  int fit = text_format(out, size, "%s %s=%d %s=%d %s=%d %s=%d", SWITCH_SKIP_WELCOME, SWITCH_DRY_RUN,
                        c.dry_run ? 1 : 0, SWITCH_UNINSTALL_FIRST, (existing_found && c.uninstall_existing) ? 1 : 0, SWITCH_DECRYPT_HTTPS,
                        c.decrypt_https ? 1 : 0, SWITCH_USAGE_DATA, c.usage_data ? 1 : 0);
  return whole_or_empty(fit, out, size);
}

const char* command_line_arguments(const char* command_line) {
  if (!command_line) return "";
  const char* p = command_line;
  if (*p == '"') {
    ++p;
    while (*p && *p != '"') ++p;
    if (*p == '"') ++p;
  } else {
    while (*p && !is_blank(*p)) ++p;
  }
  while (is_blank(*p)) ++p;
  return p;
}

int elevation_parameters(const char* own_args, const char* relaunch, char* out, size_t size) {
  const char* own = own_args ? own_args : "";
  const char* switches = relaunch ? relaunch : "";
  const char* blank = (*own && *switches) ? " " : "";
  return whole_or_empty(text_format(out, size, "%s%s%s", own, blank, switches), out, size);
}
