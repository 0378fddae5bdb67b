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
