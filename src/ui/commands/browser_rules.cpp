#include "ui/commands/browser_rules.h"

#include <cstring>

#include "base/bounded_text.h"
#include "telemetry/json_escape.h"

namespace {

constexpr size_t ARRAY_TEXT_LIMIT = 4094;
constexpr char EXE_SUFFIX[] = ".exe";

// The first ".exe" in any case; null when absent. Registered commands are not always lower case.
char* find_exe_suffix(char* text) {
  for (char* p = text; *p; ++p)
    if (p[0] == '.' && ascii_lower(p[1]) == 'e' && ascii_lower(p[2]) == 'x' && ascii_lower(p[3]) == 'e') return p;
  return nullptr;
}

// The key without a final ".exe", when the key is longer than the suffix alone.
void without_exe(const char* key, char* out, size_t size) {
  text_copy(out, size, key);
  size_t n = strlen(out);
  if (n > 4 && text_ends_with_nocase(out, EXE_SUFFIX)) out[n - 4] = '\0';
}

void display_name(const char* key, const char* registered, char* out, size_t size) {
  if (registered && *registered) {
    text_copy(out, size, registered);
  } else {
    without_exe(key, out, size);
    if (out[0] >= 'a' && out[0] <= 'z') out[0] = static_cast<char>(out[0] - 'a' + 'A');
  }
  for (char* p = out; *p; ++p)
    if (*p == '"' || *p == '\\') *p = ' ';
}

bool listed(const browser_list* list, const char* key) {
  for (int i = 0; i < list->count; ++i)
    if (strcmp(list->items[i].key, key) == 0) return true;
  return false;
}

}  // namespace

void browser_key_from_command(const char* command, char* out, size_t size) {
  const char* text = command ? command : "";
  if (*text == '"') ++text;
  const char* base = strrchr(text, '\\');
  if (!base) base = strrchr(text, '/');
  base = base ? base + 1 : text;
  char key[BROWSER_KEY_SIZE];
  text_copy(key, base);
  if (char* quote = strchr(key, '"')) *quote = '\0';
  if (char* exe = find_exe_suffix(key)) exe[4] = '\0';
  text_lower_ascii(key);
  text_copy(out, size, key);
}

bool browser_list_add(browser_list* list, const char* command, const char* registered_name) {
  if (list->count >= BROWSERS_MAX) return false;
  char key[BROWSER_KEY_SIZE];
  browser_key_from_command(command, key, sizeof key);
  if (!key[0] || strcmp(key, "iexplore.exe") == 0 || listed(list, key)) return false;
  browser_entry* entry = &list->items[list->count++];
  text_copy(entry->key, key);
  display_name(key, registered_name, entry->name, sizeof entry->name);
  without_exe(key, entry->icon, sizeof entry->icon);
  return true;
}

int browsers_json(const browser_list* list, char* out, size_t size) {
  text_copy(out, size, "[");
  int appended = 0;
  for (int i = 0; i < list->count; ++i) {
    const browser_entry& b = list->items[i];
    char key[6 * BROWSER_KEY_SIZE], name[6 * BROWSER_NAME_SIZE], icon[6 * BROWSER_ICON_SIZE], element[1600];
    json_escape(key, sizeof key, b.key);
    json_escape(name, sizeof name, b.name);
    json_escape(icon, sizeof icon, b.icon);
    text_format(element, sizeof element, "%s{\"key\":\"%s\",\"name\":\"%s\",\"icon\":\"%s\"}", appended ? "," : "", key,
                name, icon);
    if (strlen(out) + strlen(element) >= ARRAY_TEXT_LIMIT || !json_append_whole(out, size, element)) continue;
    ++appended;
  }
  json_append_whole(out, size, "]");
  return appended;
}
