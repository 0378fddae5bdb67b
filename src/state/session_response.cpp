#include "state/session_response.h"

#include <cstring>

#include "base/bounded_text.h"
#include "base/json_field.h"

namespace {

// Copies a non-empty, acceptable member into an empty field, bounded by the field.
void fill_if_empty(char* field, size_t size, const char* response, const char* key, attribution_refusals* refused) {
  if (field[0]) return;
  char value[512];
  if (json_string_field(response, key, value, sizeof value) == 0 && value[0] &&
      attribution_value_accepted(key, value, size, refused))
    text_copy(field, size, value);
}

}  // namespace

int session_retry_delay_ms(const char* retry_after) {
  if (!retry_after) return 1000;
  const char* p = retry_after;
  while (*p == ' ' || *p == '\t') ++p;
  uint32_t seconds = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    seconds = seconds * 10 + static_cast<uint32_t>(*p - '0');
    if (seconds >= 5) {  // the cap is reached; more digits cannot lower it
      seconds = 5;
      break;
    }
  }
  return seconds == 0 ? 1000 : static_cast<int>(seconds) * 1000;
}

session_timestamp_kind session_current_timestamp(const char* response, uint32_t* value) {
  *value = 0;
  const char* key = response ? strstr(response, "\"current_timestamp\"") : nullptr;
  if (!key) return session_timestamp_kind::none;
  const char* p = key + strlen("\"current_timestamp\"");
  while (*p == ' ' || *p == '\t' || *p == ':') ++p;
  uint64_t number = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    number = number * 10 + static_cast<uint64_t>(*p - '0');
    if (number > UINT32_MAX) return session_timestamp_kind::none;
  }
  if (number == 0) return session_timestamp_kind::none;
  *value = static_cast<uint32_t>(number);
  return (number >= SESSION_TIMESTAMP_MIN && number <= SESSION_TIMESTAMP_MAX) ? session_timestamp_kind::in_range
                                                                               : session_timestamp_kind::out_of_range;
}

bool session_merge(install_state* s, const char* response, int user_id_persisted, int user_date_persisted,
                   char* match_out, attribution_refusals* refused) {
  json_string_field(response, "match", match_out, 16);
  if (!match_out[0] || strcmp(match_out, "none") == 0) return false;
  struct {
    char* field;
    size_t size;
    const char* key;
  } const members[] = {
      {s->utm_campaign, sizeof s->utm_campaign, "utm_campaign"}, {s->utm_content, sizeof s->utm_content, "utm_content"},
      {s->utm_medium, sizeof s->utm_medium, "utm_medium"},       {s->utm_source, sizeof s->utm_source, "utm_source"},
      {s->utm_term, sizeof s->utm_term, "utm_term"},             {s->gclid, sizeof s->gclid, "gclid"},
      {s->fbclid, sizeof s->fbclid, "fbclid"},                   {s->msclkid, sizeof s->msclkid, "msclkid"},
      {s->campaign_id, sizeof s->campaign_id, "campaign_id"},    {s->browser_name, sizeof s->browser_name, "browser_name"},
      {s->browser_version, sizeof s->browser_version, "browser_version"},
      {s->app_version, sizeof s->app_version, "app_version"},    {s->auto_install, sizeof s->auto_install, "auto_install"},
  };
  for (const auto& m : members) fill_if_empty(m.field, m.size, response, m.key, refused);
  if (!user_id_persisted) {
    char user_id[sizeof s->user_id];
    if (json_string_field(response, "user_id", user_id, sizeof user_id) == 0 && user_id[0]) text_copy(s->user_id, user_id);
  }
  if (!user_date_persisted) {
    char when[40];
    if (json_string_field(response, "user_datetime", when, sizeof when) == 0 && strlen(when) > 7) {
      when[8] = '\0';
      text_copy(s->user_date, when);
    }
  }
  return true;
}
