#include "base/reg_key_win.h"

#include <cwchar>

#include "base/wide_win.h"

namespace {

// A path or value name for a call; null is the empty name (the default value, or the key itself).
struct widened {
  wchar_t text[1024];
  bool ok;
  explicit widened(const char* utf8) : ok(utf8_to_wide(utf8 ? utf8 : "", text, 1024) == 0) {}
};

bool is_text(DWORD type, bool allow_expand) { return type == REG_SZ || (allow_expand && type == REG_EXPAND_SZ); }

LSTATUS set_value(HKEY key, const char* name, DWORD type, const void* data, DWORD bytes) {
  widened wide(name);
  return wide.ok ? RegSetValueExW(key, wide.text, 0, type, static_cast<const BYTE*>(data), bytes)
                 : ERROR_INVALID_PARAMETER;
}

}  // namespace

LSTATUS reg_key::open(HKEY root, const char* path, REGSAM view, REGSAM access) {
  widened wide(path);
  return wide.ok ? RegOpenKeyExW(root, wide.text, 0, access | view, key_.receive()) : ERROR_INVALID_PARAMETER;
}

LSTATUS reg_key::create(HKEY root, const char* path, REGSAM view, REGSAM access) {
  widened wide(path);
  if (!wide.ok) return ERROR_INVALID_PARAMETER;
  return RegCreateKeyExW(root, wide.text, 0, nullptr, 0, access | view, nullptr, key_.receive(), nullptr);
}

LSTATUS reg_key::read_text(const char* name, char* out, size_t size, bool allow_expand) const {
  if (!out || size == 0) return ERROR_INVALID_PARAMETER;
  out[0] = '\0';
  widened wide(name);
  if (!wide.ok) return ERROR_INVALID_PARAMETER;
  DWORD type = 0, bytes = 0;
  LSTATUS status = RegQueryValueExW(key_.get(), wide.text, nullptr, &type, nullptr, &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (!is_text(type, allow_expand)) return ERROR_UNSUPPORTED_TYPE;
  // The registry does not promise a terminator, so room for one is added.
  heap_block<BYTE> block = heap_allocate<BYTE>(bytes + 2 * sizeof(wchar_t), HEAP_ZERO_MEMORY);
  if (!block) return ERROR_OUTOFMEMORY;
  auto* text = reinterpret_cast<wchar_t*>(block.get());
  status = RegQueryValueExW(key_.get(), wide.text, nullptr, &type, block.get(), &bytes);
  if (status != ERROR_SUCCESS) return status;
  if (!is_text(type, allow_expand)) return ERROR_UNSUPPORTED_TYPE;  // replaced between the two reads
  text[bytes / sizeof(wchar_t)] = L'\0';
  int converted = wide_to_utf8(text, out, size);
  return converted == 0 ? ERROR_SUCCESS : converted == 1 ? ERROR_MORE_DATA : ERROR_INVALID_DATA;
}

LSTATUS reg_key::read_dword(const char* name, uint32_t* out) const {
  *out = 0;
  widened wide(name);
  if (!wide.ok) return ERROR_INVALID_PARAMETER;
  DWORD type = 0, value = 0, bytes = sizeof value;
  LSTATUS status = RegQueryValueExW(key_.get(), wide.text, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return status;
  if (type != REG_DWORD || bytes != sizeof value) return ERROR_UNSUPPORTED_TYPE;
  *out = value;
  return ERROR_SUCCESS;
}

LSTATUS reg_key::write_text(const char* name, const char* text) const {
  heap_block<wchar_t> wide(utf8_to_wide_heap(text ? text : ""));
  if (!wide) return ERROR_INVALID_PARAMETER;
  return set_value(key_.get(), name, REG_SZ, wide.get(),
                   static_cast<DWORD>(sizeof(wchar_t) * (wcslen(wide.get()) + 1)));
}

LSTATUS reg_key::write_dword(const char* name, uint32_t value) const {
  DWORD data = value;
  return set_value(key_.get(), name, REG_DWORD, &data, sizeof data);
}

LSTATUS reg_key::delete_value(const char* name) const {
  widened wide(name);
  return wide.ok ? RegDeleteValueW(key_.get(), wide.text) : ERROR_INVALID_PARAMETER;
}

LSTATUS reg_key::wide_name_at(DWORD index, reg_name_kind kind, wchar_t (&name)[REG_NAME_CHARS]) const {
  DWORD chars = REG_NAME_CHARS;
  return kind == REG_SUBKEY_NAMES ? RegEnumKeyExW(key_.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr)
                                  : RegEnumValueW(key_.get(), index, name, &chars, nullptr, nullptr, nullptr, nullptr);
}

LSTATUS reg_key::name_at(DWORD index, reg_name_kind kind, char* out, size_t size) const {
  wchar_t name[REG_NAME_CHARS];
  LSTATUS status = wide_name_at(index, kind, name);
  if (status != ERROR_SUCCESS) return status;
  return wide_to_utf8(name, out, size) == 0 ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

LSTATUS reg_key::count_children(DWORD* subkeys, DWORD* values) const {
  return RegQueryInfoKeyW(key_.get(), nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr,
                          nullptr, nullptr);
}
