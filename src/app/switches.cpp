#include "app/switches.h"

#include <cstring>

#include "base/bounded_text.h"

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

namespace {

// The last well-formed "<name>0|1" (name ends in '='), by the bounds of usage_data_switch.
int explicit_value(const char* args, const char* name, int fold_case) {
  if (!args || !name) return -1;
  const size_t name_len = strlen(name);
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
    while (i < name_len && q[i] && (fold_case ? ascii_lower(q[i]) == ascii_lower(name[i]) : q[i] == name[i])) ++i;
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

}  // namespace

int usage_data_switch(const char* args) { return explicit_value(args, "/USAGEDATA=", 1); }

int explicit_switch(const char* args, const char* name) {
  char with_sign[32];
  if (!name || !text_format(with_sign, sizeof with_sign, "%s=", name)) return -1;
  return explicit_value(args, with_sign, 0);
}

int switch_present(const char* args, const char* switch_text) {
  return args && switch_text && strstr(args, switch_text) != nullptr;
}

int dry_run_choice(const char* args) {
  int given = explicit_switch(args, "/DRYRUN");
  return given != -1 ? given : switch_present(args, "/DRYRUN");
}

int decrypt_https_choice(const char* args) {
  int given = explicit_switch(args, "/DECRYPTHTTPS");
  return given != -1 ? given : !switch_present(args, "/DECRYPTHTTPS=0");
}

int uninstall_first_switch(const char* args) {
  int given = explicit_switch(args, "/UNINSTALLFIRST");
  if (given != -1) return given;
  return switch_present(args, "/UNINSTALLFIRST") ? 1 : -1;
}

const char* dry_run_suffix(const char* args) { return dry_run_choice(args) ? " /DRYRUN" : ""; }
