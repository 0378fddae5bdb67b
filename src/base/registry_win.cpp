#include "base/registry_win.h"

#include <cwchar>

#include "base/log.h"
#include "base/reg_key_win.h"
#include "base/wide_win.h"

namespace {

constexpr size_t NAME_CHARS = 512;

// Opens root\subkey in the 64-bit view and widens the value name; the Windows status.
LSTATUS open_for(HKEY root, const char* subkey, const char* name, REGSAM access, registry_key* key,
                 wchar_t (&wide_name)[NAME_CHARS]) {
  if (utf8_to_wide(name ? name : "", wide_name, NAME_CHARS) != 0) return ERROR_INVALID_PARAMETER;
  return reg_open(root, subkey ? subkey : "", access, KEY_WOW64_64KEY, key);
}

int write_value(HKEY root, const char* subkey, const char* name, DWORD type, const BYTE* data, DWORD bytes) {
  wchar_t wide_subkey[NAME_CHARS], wide_name[NAME_CHARS];
  if (utf8_to_wide(subkey ? subkey : "", wide_subkey, NAME_CHARS) != 0 ||
      utf8_to_wide(name ? name : "", wide_name, NAME_CHARS) != 0)
    return -1;
  registry_key key;
  LSTATUS status =
      RegCreateKeyExW(root, wide_subkey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr, key.receive(), nullptr);
  if (status == ERROR_SUCCESS) status = RegSetValueExW(key.get(), wide_name, 0, type, data, bytes);
  if (status != ERROR_SUCCESS) {
    // Callers decide what a failed write means; a non-elevated run expects HKLM refusals.
    log_debug("registry: writing %s\\%s failed (err=%ld)", subkey, name, static_cast<long>(status));
    return -1;
  }
  return 0;
}

}  // namespace

int reg_read_string(HKEY root, const char* subkey, const char* name, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  registry_key key;
  if (reg_open(root, subkey ? subkey : "", KEY_READ, KEY_WOW64_64KEY, &key) != ERROR_SUCCESS) return -1;
  return reg_get_text(key.get(), name, 0, out, size);
}

int reg_read_dword(HKEY root, const char* subkey, const char* name, uint32_t* out) {
  *out = 0;
  registry_key key;
  wchar_t wide_name[NAME_CHARS];
  if (open_for(root, subkey, name, KEY_READ, &key, wide_name) != ERROR_SUCCESS) return -1;
  DWORD type = 0, value = 0, bytes = sizeof value;
  if (RegQueryValueExW(key.get(), wide_name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || bytes != sizeof value)
    return -1;
  *out = value;
  return 0;
}

int reg_write_string(HKEY root, const char* subkey, const char* name, const char* text) {
  heap_block<wchar_t> wide(utf8_to_wide_heap(text ? text : ""));
  if (!wide) return -1;
  return write_value(root, subkey, name, REG_SZ, reinterpret_cast<const BYTE*>(wide.get()),
                     static_cast<DWORD>(sizeof(wchar_t) * (wcslen(wide.get()) + 1)));
}

int reg_write_dword(HKEY root, const char* subkey, const char* name, uint32_t value) {
  DWORD data = value;
  return write_value(root, subkey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

int reg_delete_value(HKEY root, const char* subkey, const char* name) {
  registry_key key;
  wchar_t wide_name[NAME_CHARS];
  if (open_for(root, subkey, name, KEY_SET_VALUE, &key, wide_name) != ERROR_SUCCESS) return -1;
  RegDeleteValueW(key.get(), wide_name);
  return 0;
}
