#include "state/attribution_values.h"

#include <cstdio>
#include <cstring>
#include <initializer_list>

#include "base/bounded_text.h"

namespace {

constexpr size_t REFUSED_VALUE_SHOWN = 48;

}  // namespace

bool host_prefix_acceptable(const char* value) {
  if (!value) return false;
  for (const char* known : {"", "dev-", "stage-", "local-"})
    if (strcmp(value, known) == 0) return true;
  return false;
}

bool app_version_acceptable(const char* value, size_t field_size) {
  if (!value || !value[0]) return false;
  size_t length = strlen(value);
  if (length >= field_size) return false;
  for (const char* p = value; *p; ++p)
    if (*p != '.' && (*p < '0' || *p > '9')) return false;
  return true;
}

bool attribution_value_accepted(const char* key, const char* value, size_t field_size,
                                attribution_refusals* refused) {
  bool accepted = true;
  if (strcmp(key, "host_prefix") == 0)
    accepted = host_prefix_acceptable(value);
  else if (strcmp(key, "app_version") == 0)
    accepted = app_version_acceptable(value, field_size);
  if (!accepted && refused && refused->count < 2) {
    attribution_refusal& item = refused->items[refused->count++];
    item.key = strcmp(key, "host_prefix") == 0 ? "host_prefix" : "app_version";
    refused_value_text(value, item.value, sizeof item.value);
  }
  return accepted;
}

void refused_value_text(const char* value, char* out, size_t size) {
  if (!out || size == 0) return;
  out[0] = '\0';
  if (!value) return;
  size_t used = 0, shown = 0;
  for (const unsigned char* p = reinterpret_cast<const unsigned char*>(value); *p; ++p, ++shown) {
    char piece[5];
    if (*p >= 0x20 && *p <= 0x7E && *p != '"' && *p != '\\')
      snprintf(piece, sizeof piece, "%c", *p);
    else
      snprintf(piece, sizeof piece, "\\x%02X", *p);
    size_t length = strlen(piece);
    // Room for the piece and a closing "..." is kept, so an escape is never cut in half.
    if (shown == REFUSED_VALUE_SHOWN || used + length + 3 >= size) {
      text_append(out, size, "...");
      return;
    }
    text_append(out, size, piece);
    used += length;
  }
}
