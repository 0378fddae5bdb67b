#include "telemetry/event_extras.h"

#include <cinttypes>
#include <cstring>

#include "base/bounded_text.h"
#include "telemetry/json_escape.h"

namespace {

// Appends ,"key":"<value escaped to limit>" when the whole member fits.
void append_member(char* out, size_t size, const char* key, const char* value, size_t limit) {
  char escaped[96], piece[160];
  json_escape(escaped, limit < sizeof escaped ? limit : sizeof escaped, value);
  text_format(piece, sizeof piece, ",\"%s\":\"%s\"", key, escaped);
  json_append_whole(out, size, piece);
}

const char* or_text(const char* value, const char* fallback) { return value && value[0] ? value : fallback; }

}  // namespace

void event_extra_page(const char* page_name, char* out, size_t size) {
  text_copy(out, size, "");
  append_member(out, size, "page_name", page_name, 96);
}

void event_extra_click(const char* fragment, char* out, size_t size) {
  text_copy(out, size, ",\"click_element\":\"welcome_install\",\"page_name\":\"welcome\"");
  if (fragment && fragment[0]) json_append_whole(out, size, fragment);
}

void event_extra_close(const char* launch_outcome, const char* exit_stage, const char* install_event_id,
                       const char* launch_error_family, char* out, size_t size) {
  text_copy(out, size, "");
  append_member(out, size, "launch_outcome", launch_outcome, 64);
  append_member(out, size, "exit_stage", exit_stage, 64);
  if (install_event_id && install_event_id[0]) append_member(out, size, "install_event_id", install_event_id, 80);
  if (launch_error_family && launch_error_family[0])
    append_member(out, size, "launch_error_family", launch_error_family, 80);
}

void event_error_details(const char* event_name, const tracking_error* error, const install_state* state, char* out,
                         size_t size) {
  char details[256];
  const char* category = or_text(error ? error->category : nullptr, "unknown");
  const char* elevated = json_bool(state && state->is_elevated);
  const char* admin = json_bool(state && state->is_admin);
  const char* disk = or_text(state ? state->free_disk_mb : nullptr, "-1");
  if (event_name && strstr(event_name, "uninstaller"))
    text_format(details, sizeof details, "error_category=%s is_elevated=%s is_admin=%s free_disk_mb=%s", category,
                elevated, admin, disk);
  else
    text_format(details, sizeof details,
                "error_category=%s msi_exit_code=%" PRId32 " is_elevated=%s is_admin=%s msi_file_size_kb=%" PRId64
                " free_disk_mb=%s",
                category, error ? error->msi_exit_code : -1, elevated, admin, error ? error->msi_file_size_kb : -1,
                disk);
  text_copy(out, size, details);
}
