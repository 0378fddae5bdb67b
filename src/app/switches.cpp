#include "app/switches.h"

#include <cstring>

#include "app/bounded_text.h"
#include "state/json_field.h"

namespace {

int is_blank(char c) { return c == ' ' || c == '\t'; }
int is_white(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

int is_silent(const char* args) {
  if (!args) return 0;
  if (strstr(args, "--silent")) return 1;
  for (const char* p = args; *p; ++p) {
    if (p != args && !is_blank(p[-1])) continue;
    if (p[0] == '/' && (p[1] == 'S' || p[1] == 's') && (p[2] == '\0' || is_blank(p[2]))) return 1;
  }
  return 0;
}

int usage_data_switch(const char* args) {
  if (!args) return -1;
  static const char kName[] = "/usagedata=";
  const size_t name_len = sizeof(kName) - 1;
  int result = -1;
  for (const char* p = args; *p; ++p) {
    if (p != args && !is_white(p[-1])) continue;
    const char* q = p;
    int quoted = 0;
    if (*q == '"') {
      quoted = 1;
      ++q;
    }
    size_t i = 0;
    while (i < name_len && q[i] && ascii_lower(q[i]) == kName[i]) ++i;
    if (i != name_len) continue;
    q += name_len;
    char digit = *q;
    if (digit != '0' && digit != '1') continue;
    ++q;
    if (quoted) {
      if (*q != '"') continue;
      ++q;
    }
    if (*q != '\0' && !is_white(*q)) continue;
    result = digit - '0';
  }
  return result;
}

int switch_present(const char* args, const char* switch_text) {
  return args && switch_text && strstr(args, switch_text) != nullptr;
}

const char* dry_run_suffix(const char* args) { return has_dry_run(args) ? " /DRYRUN" : ""; }

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

void preinstall_uninstaller_command(const char* staged_path, int analytics_enabled, char* out, size_t size) {
  text_format(out, size, "\"%s\" /S /UNINSTALLBEFOREINSTALL%s", staged_path ? staged_path : "",
              analytics_enabled ? " /USAGEDATA=1" : " /USAGEDATA=0");
}

int uninstall_first_preference(const char* decoded_tag) {
  if (!decoded_tag || !*decoded_tag) return -1;
  char value[16];
  if (json_string_field(decoded_tag, "uninstall_first", value, sizeof value) != 0) return -1;
  if (strcmp(value, "1") == 0 || text_equal_nocase(value, "true")) return 1;
  if (strcmp(value, "0") == 0 || text_equal_nocase(value, "false")) return 0;
  return -1;
}
