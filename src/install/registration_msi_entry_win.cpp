// The package registers its own Add/Remove Programs row; ours replaces it, so the package's
// rows are hidden (SystemComponent) rather than deleted: msiexec still needs them.
#include <windows.h>

#include "base/bounded_text.h"
#include "base/log.h"
#include "base/reg_key_win.h"
#include "base/wide_win.h"
#include "install/registration.h"
#include "product/product.h"

namespace {

struct registry_view {
  REGSAM flag;
  const char* label;
};

const registry_view VIEWS[] = {{KEY_WOW64_64KEY, "64-bit"}, {KEY_WOW64_32KEY, "WoW6432Node"}};

// A REG_SZ of at most chars-1 characters; anything else (missing, other type, longer) is absent.
bool read_text(HKEY key, const wchar_t* name, wchar_t* out, DWORD chars) {
  DWORD bytes = chars * sizeof(wchar_t);
  return RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, out, &bytes) == ERROR_SUCCESS;
}

void mirror_facts(HKEY entry, const wchar_t* subkey_name, msi_entry_facts* facts) {
  wchar_t text[64];
  if (!facts->version[0] && read_text(entry, L"DisplayVersion", text, 64)) wide_to_utf8(text, facts->version, 64);
  if (!facts->product_code[0]) wide_to_utf8(subkey_name, facts->product_code, sizeof facts->product_code);
  if (!facts->estimated_size) {
    DWORD size = 0, bytes = sizeof size;
    if (RegGetValueW(entry, nullptr, L"EstimatedSize", RRF_RT_REG_DWORD, nullptr, &size, &bytes) == ERROR_SUCCESS)
      facts->estimated_size = size;
  }
}

void hide_if_ours(HKEY root, const wchar_t* subkey_name, const registry_view& view, msi_entry_facts* facts) {
  registry_key owned;
  REGSAM access = KEY_QUERY_VALUE | KEY_SET_VALUE | view.flag;
  if (RegOpenKeyExW(root, subkey_name, 0, access, owned.receive()) != ERROR_SUCCESS)
    return;
  HKEY entry = owned.get();
  wchar_t display_name[128];
  if (read_text(entry, L"DisplayName", display_name, 128) &&
      CompareStringOrdinal(display_name, -1, L"" PRODUCT_DISPLAY_NAME, -1, TRUE) == CSTR_EQUAL) {
    char name_utf8[256];
    wide_to_utf8(subkey_name, name_utf8, sizeof name_utf8);
    DWORD one = 1;
    LSTATUS status = RegSetValueExW(entry, L"SystemComponent", 0, REG_DWORD, reinterpret_cast<BYTE*>(&one), sizeof one);
    if (status == ERROR_SUCCESS) {
      log_info("Hid MSI uninstall entry %s (%s view) via SystemComponent=1", name_utf8, view.label);
      ++facts->hidden_count;
    } else {
      log_warn("Failed to set SystemComponent on %s (%s view, err=%ld)", name_utf8, view.label,
               static_cast<long>(status));
    }
    mirror_facts(entry, subkey_name, facts);
  }
}

void hide_in_view(const registry_view& view, msi_entry_facts* facts) {
  reg_key root;
  if (root.open(HKEY_LOCAL_MACHINE, UNINSTALL_ROOT_KEY, view.flag) != ERROR_SUCCESS) return;
  wchar_t name[256];
  for (DWORD index = 0;; ++index) {
    DWORD chars = 256;
    if (RegEnumKeyExW(root.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    // Our own entry carries the same display name and must stay visible.
    if (CompareStringOrdinal(name, -1, L"" OWN_UNINSTALL_SUBKEY, -1, TRUE) == CSTR_EQUAL) continue;
    hide_if_ours(root.get(), name, view, facts);
  }
}

}  // namespace

void hide_msi_uninstall_entries(msi_entry_facts* facts) {
  for (const registry_view& view : VIEWS) hide_in_view(view, facts);
}
