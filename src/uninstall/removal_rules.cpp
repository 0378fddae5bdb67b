#include "uninstall/removal_rules.h"

#include <cctype>
#include <cstring>

#include "app/bounded_text.h"
#include "app/product.h"

namespace {

// Windows' attribute bits, spelt out here because the core does not include <windows.h>.
constexpr uint32_t ATTRIBUTE_DIRECTORY = 0x10;
constexpr uint32_t ATTRIBUTE_REPARSE_POINT = 0x400;
constexpr uint32_t ERROR_SUCCESS_REBOOT_REQUIRED_CODE = 3010;

}  // namespace

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

tree_entry_action classify_tree_entry(uint32_t attributes) {
  int folder = (attributes & ATTRIBUTE_DIRECTORY) != 0;
  if (attributes & ATTRIBUTE_REPARSE_POINT) return folder ? TREE_REMOVE_FOLDER_LINK : TREE_DELETE_FILE_LINK;
  return folder ? TREE_ENTER_FOLDER : TREE_DELETE_FILE;
}

int install_dir_entry_to_remove(const char* name) {
  if (!name || !strcmp(name, ".") || !strcmp(name, "..")) return 0;
  return !text_equal_nocase(name, UNINSTALLER_EXE);
}

msi_removal msi_removal_of(int code_found, int started, uint32_t exit_code) {
  if (!code_found) return {0, 1};
  if (!started) return {-1, 0};
  if (exit_code == 0 || exit_code == ERROR_SUCCESS_REBOOT_REQUIRED_CODE) return {0, 1};
  return {static_cast<int>(exit_code), 0};
}

cleanup_guards cleanup_guards_for(msi_removal msi, int product_registered) {
  cleanup_guards guards;
  guards.purge_appdata = !(product_registered && !msi.succeeded);
  guards.purge_product_key = msi.result == 0;
  return guards;
}
