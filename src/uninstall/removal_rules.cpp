#include "uninstall/removal_rules.h"

#include <cctype>
#include <cstring>

#include "base/bounded_text.h"
#include "product/msi_progress.h"
#include "product/product.h"

int name_in_list(const char* name, const name_list& list) {
  if (!name) return 0;
  for (size_t i = 0; i < list.count; ++i)
    if (text_equal_nocase(name, list.names[i])) return 1;
  return 0;
}

int is_msi_product_entry(const char* subkey_name, const char* display_name) {
  if (!subkey_name || !display_name) return 0;
  if (text_equal_nocase(subkey_name, OWN_UNINSTALL_SUBKEY)) return 0;
  return text_equal_nocase(display_name, PRODUCT_DISPLAY_NAME);
}

int is_product_code_guid(const char* text) {
  static const char shape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
  if (!text) return 0;
  for (size_t i = 0; shape[i]; ++i) {
    char c = text[i];
    if (shape[i] != 'X' ? c != shape[i] : !isxdigit(static_cast<unsigned char>(c))) return 0;
  }
  return text[sizeof shape - 1] == '\0';
}

int forcelist_entry_is_product(const char* data) {
  return data && strstr(data, PRODUCT_EXTENSION_ID) ? 1 : 0;
}

int install_dir_entry_to_remove(const char* name) {
  if (!name || !strcmp(name, ".") || !strcmp(name, "..")) return 0;
  return !text_equal_nocase(name, UNINSTALLER_EXE);
}

msi_removal msi_removal_of(int code_found, int started, uint32_t exit_code) {
  if (!code_found) return {0, 1};
  if (!started) return {-1, 0};
  if (msi_success(static_cast<int>(exit_code))) return {0, 1};
  return {static_cast<int>(exit_code), 0};
}

cleanup_guards cleanup_guards_for(msi_removal msi, int product_registered) {
  cleanup_guards guards;
  guards.purge_appdata = !(product_registered && !msi.succeeded);
  guards.purge_product_key = msi.result == 0;
  return guards;
}
