#include "app/switches.h"

#include <cstring>

#include "base/bounded_text.h"

namespace {

bool is_blank(char c) { return c == ' ' || c == '\t'; }
bool is_white(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

bool is_silent(const char* args) {
  if (!args) return false;
  if (strstr(args, "--silent")) return true;
  for (const char* p = args; *p; ++p) {
    if (p != args && !is_blank(p[-1])) continue;
    if (p[0] == '/' && (p[1] == 'S' || p[1] == 's') && (p[2] == '\0' || is_blank(p[2]))) return true;
  }
  return false;
}

namespace {

// The last well-formed "<name>=0|1": at the start or after white space,
// optionally in double quotes, followed by the end or white space.
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
    if (i != name_len || q[i] != '=') continue;
    q += name_len + 1;
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

int usage_data_switch(const char* args) { return explicit_value(args, SWITCH_USAGE_DATA, 1); }

bool dry_run_choice(const char* args) {
  int given = explicit_value(args, SWITCH_DRY_RUN, 0);
  return given != -1 ? given : switch_present(args, SWITCH_DRY_RUN);
}

bool decrypt_https_choice(const char* args) {
  int given = explicit_value(args, SWITCH_DECRYPT_HTTPS, 0);
  return given != -1 ? given : !switch_present(args, "/DECRYPTHTTPS=0");
}

int uninstall_first_switch(const char* args) {
  int given = explicit_value(args, SWITCH_UNINSTALL_FIRST, 0);
  if (given != -1) return given;
  return switch_present(args, SWITCH_UNINSTALL_FIRST) ? 1 : -1;
}

bool switch_present(const char* args, const char* switch_text) {
  return args && switch_text && strstr(args, switch_text) != nullptr;
}

