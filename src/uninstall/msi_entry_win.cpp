// Where the MSI package is registered: its uninstall entry is the key, named by the
// product code, whose display name is the product's.
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/reg_view_win.h"
#include "product/product.h"
#include "uninstall/existing_install.h"
#include "uninstall/probe_parts_win.h"
#include "uninstall/removal_rules.h"

namespace {

constexpr size_t NAME_BYTES = 1024;  // 256 UTF-16 characters in UTF-8

// 1 when the subkey of the open uninstall root is the MSI entry; its version is read then.
int entry_matches(HKEY root, const char* subkey, REGSAM view, char* version, size_t version_size) {
  reg_key entry;
  if (entry.open(root, subkey, view) != ERROR_SUCCESS) return 0;
  char display_name[NAME_BYTES];
  bool has_name = reg_found_text(entry.read_text("DisplayName", display_name, sizeof display_name));
  if (!is_msi_product_entry(subkey, has_name ? display_name : nullptr)) return 0;
  if (version) entry.read_text("DisplayVersion", version, version_size);
  return 1;
}

int find_in_view(REGSAM view, char* code, size_t code_size, char* version, size_t version_size) {
  reg_key root;
  if (root.open(HKEY_LOCAL_MACHINE, UNINSTALL_ROOT_KEY, view) != ERROR_SUCCESS) return -1;
  char subkey[NAME_BYTES];
  for (DWORD index = 0;; ++index) {
    LSTATUS status = root.name_at(index, REG_SUBKEY_NAMES, subkey, sizeof subkey);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return -1;
    if (!entry_matches(root.get(), subkey, view, version, version_size)) continue;
    text_copy(code, code_size, subkey);
    return 0;
  }
}

}  // namespace

int find_msi_entry(char* code, size_t code_size, char* version, size_t version_size) {
  if (code_size) code[0] = '\0';
  if (version && version_size) version[0] = '\0';
  for (REGSAM view : REG_VIEWS)
    if (find_in_view(view, code, code_size, version, version_size) == 0) return 0;
  return -1;
}

int msi_entry_key_path(const char* product_code, char* out, size_t size) {
  return product_code && text_format(out, size, "%s\\%s", UNINSTALL_ROOT_KEY, product_code) ? 0 : -1;
}

int find_msi_product_code(char* out, size_t size) {
  if (!out || size == 0) return -1;
  reg_key own;
  if (own.open(HKEY_LOCAL_MACHINE, OWN_UNINSTALL_KEY, REG_VIEW_64) == ERROR_SUCCESS &&
      reg_found_text(own.read_text("MsiProductCode", out, size)) && out[0]) {
    if (is_product_code_guid(out)) return 0;
    log_warn("MsiProductCode \"%s\" is not a product code — searching the uninstall entries", out);
  }
  if (find_msi_entry(out, size, nullptr, 0) != 0) return -1;
  if (is_product_code_guid(out)) return 0;
  log_warn("MSI uninstall entry \"%s\" is not named by a product code — not using it", out);
  out[0] = '\0';
  return -1;
}
