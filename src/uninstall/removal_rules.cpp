#include "uninstall/removal_rules.h"

#include <cctype>
#include <cstring>

#include "base/bounded_text.h"
#include "product/msi_progress.h"
#include "product/product.h"

bool name_in_list(const char* name, const name_list& list) {
  if (!name) return false;
  for (size_t i = 0; i < list.count; ++i)
    if (text_equal_nocase(name, list.names[i])) return true;
  return false;
}

bool is_msi_product_entry(const char* subkey_name, const char* display_name) {
  if (!subkey_name || !display_name) return false;
  if (text_equal_nocase(subkey_name, OWN_UNINSTALL_SUBKEY)) return false;
  return text_equal_nocase(display_name, PRODUCT_DISPLAY_NAME);
}

bool is_product_code_guid(const char* text) {
  static const char shape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (!text) return false;
  for (size_t i = 0; shape[i]; ++i) {
    char c = text[i];
    if (shape[i] != 'X' ? c != shape[i] : !isxdigit(static_cast<unsigned char>(c))) return false;
  }
  return text[sizeof shape - 1] == '\0';
}

int forcelist_entry_is_product(const char* data) {
  return data && strstr(data, PRODUCT_EXTENSION_ID) ? 1 : 0;
}

bool install_dir_entry_to_remove(const char* name) {
  if (!name || !strcmp(name, ".") || !strcmp(name, "..")) return false;
  return !text_equal_nocase(name, UNINSTALLER_EXE);
}

msi_removal msi_removal_of(bool code_found, const process_result& run) {
  if (!code_found) return {0, 1};
  if (msi_success(run.shown_code())) return {0, 1};
  return {run.shown_code(), 0};
}

cleanup_guards cleanup_guards_for(msi_removal msi, int product_registered) {
  cleanup_guards guards;
  guards.purge_appdata = !(product_registered && !msi.succeeded);
  guards.purge_product_key = msi.result == 0;
  return guards;
}
