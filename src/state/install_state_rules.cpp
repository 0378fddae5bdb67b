#include "state/install_state_rules.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/json_field.h"
#include "base/path_text.h"

namespace {

struct tag_field {
  const char* key;
  size_t offset;
  size_t size;
};

#define TAG_FIELD(name) {#name, offsetof(install_state, name), sizeof(install_state::name)}
const tag_field TAG_FIELDS[] = {
    TAG_FIELD(app_version),  TAG_FIELD(auto_install), TAG_FIELD(browser_name), TAG_FIELD(browser_version),
    TAG_FIELD(host_prefix),  TAG_FIELD(utm_campaign), TAG_FIELD(utm_content),  TAG_FIELD(utm_medium),
    TAG_FIELD(utm_source),   TAG_FIELD(utm_term),     TAG_FIELD(gclid),        TAG_FIELD(fbclid),
    TAG_FIELD(msclkid),      TAG_FIELD(user_id),      TAG_FIELD(user_date),
};
#undef TAG_FIELD

}  // namespace

void install_state_apply_tag(install_state* state, const char* decoded, attribution_refusals* refused) {
  char* base = reinterpret_cast<char*>(state);
  for (const tag_field& field : TAG_FIELDS) {
    char* out = base + field.offset;
    // A key the tag does not carry must not wipe what the field already holds.
    char value[256];
    if (json_string_field(decoded, field.key, value, sizeof value) == 0 &&
        attribution_value_accepted(field.key, value, field.size, refused))
      text_copy(out, field.size, value);
  }
}

void normalise_app_version(char* version, size_t size) {
  size_t length = strnlen(version, size);
  if (length == 0 || length > 61 || length >= size) return;
  int dots = 0;
  for (size_t i = 0; i < length; ++i) dots += version[i] == '.';
  if (dots == 2) text_append(version, size, ".0");
}

void apply_build_host_prefix(char* host_prefix, size_t size, const char* exe_path) {
  if (strcmp(host_prefix, "local-") == 0) text_copy(host_prefix, size, "dev-");
  if (!host_prefix[0]) text_copy(host_prefix, size, host_prefix_from_exe_name(exe_path));
}

bool is_internal_flag(const char* env_value, int registry_says_internal) {
  if (env_value) return strcmp(env_value, "0") != 0;
  return registry_says_internal ? 1 : 0;
}

const char* host_prefix_from_exe_name(const char* exe_path) {
  char name[260];
  text_copy(name, path_file_name(exe_path));
  text_lower_ascii(name);
  size_t len = strlen(name);
  if (len > 7 && text_ends_with_nocase(name, "-dev.exe")) return "dev-";
  if (len > 9 && text_ends_with_nocase(name, "-stage.exe")) return "stage-";
  return "";
}
