#include "base/reg_key_win.h"

#include "base/wide_win.h"

namespace {

constexpr size_t PATH_CHARS = 1024;
constexpr size_t VALUE_NAME_CHARS = 257;

}  // namespace

LSTATUS reg_open(HKEY root, const char* path, REGSAM access, REGSAM view, registry_key* out) {
  wchar_t wide[PATH_CHARS];
  if (utf8_to_wide(path, wide, PATH_CHARS) != 0) return ERROR_INVALID_PARAMETER;
  return RegOpenKeyExW(root, wide, 0, access | view, out->receive());
}

int reg_key_exists(HKEY root, const char* path, REGSAM view) {
  registry_key key;
  return reg_open(root, path, KEY_READ, view, &key) == ERROR_SUCCESS;
}

int reg_get_text(HKEY key, const char* name, int allow_expand, char* out, size_t size) {
  if (!out || size == 0) return -1;
  out[0] = '\0';
  wchar_t wide_name[VALUE_NAME_CHARS] = L"";
  if (name && utf8_to_wide(name, wide_name, VALUE_NAME_CHARS) != 0) return -1;
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, wide_name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return -1;
  if (type != REG_SZ && !(allow_expand && type == REG_EXPAND_SZ)) return -1;
  // The registry does not promise a terminator, so room for one is added.
  heap_block<BYTE> block = heap_allocate<BYTE>(bytes + 2 * sizeof(wchar_t), HEAP_ZERO_MEMORY);
  if (!block) return -1;
  auto* text = reinterpret_cast<wchar_t*>(block.get());
  DWORD got = bytes;
  int result = -1;
  if (RegQueryValueExW(key, wide_name, nullptr, &type, reinterpret_cast<BYTE*>(text), &got) == ERROR_SUCCESS &&
      got <= bytes && (type == REG_SZ || (allow_expand && type == REG_EXPAND_SZ))) {
    text[got / sizeof(wchar_t)] = L'\0';
    // A value longer than out is kept cut, as every field of the program is.
    result = wide_to_utf8(text, out, size) < 0 ? -1 : 0;
  }
  if (result != 0) out[0] = '\0';
  return result;
}
