#include "state/registry.h"

#include "app/log.h"
#include "app/product.h"
#include "app/wide_win.h"

namespace {

constexpr size_t NAME_CHARS = 512;

// Owns an open key so every path closes it.
struct reg_key {
  HKEY handle = nullptr;
  reg_key() = default;
  reg_key(const reg_key&) = delete;
  reg_key& operator=(const reg_key&) = delete;
  ~reg_key() {
    if (handle) RegCloseKey(handle);
  }
};

struct wide_names {
  wchar_t subkey[NAME_CHARS];
  wchar_t name[NAME_CHARS];
};

int widen(const char* subkey, const char* name, wide_names* out) {
  if (utf8_to_wide(subkey ? subkey : "", out->subkey, NAME_CHARS) != 0) return -1;
  return utf8_to_wide(name ? name : "", out->name, NAME_CHARS);
}

LSTATUS open_key(HKEY root, const wchar_t* subkey, REGSAM access, reg_key* key) {
  return RegOpenKeyExW(root, subkey, 0, access | KEY_WOW64_64KEY, &key->handle);
}

// Reads a string value whole, whatever its length; the registry does not promise a
// terminating NUL, so one is added. The caller frees the block.
wchar_t* query_string(HKEY key, const wchar_t* name) {
  DWORD type = 0, bytes = 0;
  if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS) return nullptr;
  if (type != REG_SZ) return nullptr;
  HANDLE heap = GetProcessHeap();
  auto* text = static_cast<wchar_t*>(HeapAlloc(heap, HEAP_ZERO_MEMORY, bytes + 2 * sizeof(wchar_t)));
  if (!text) return nullptr;
  DWORD got = bytes;
  if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &got) != ERROR_SUCCESS ||
      type != REG_SZ || got > bytes) {
    HeapFree(heap, 0, text);
    return nullptr;
  }
  text[got / sizeof(wchar_t)] = L'\0';
  return text;
}

int write_value(HKEY root, const char* subkey, const char* name, DWORD type, const BYTE* data, DWORD bytes) {
  wide_names wide;
  if (widen(subkey, name, &wide) != 0) return -1;
  reg_key key;
  LSTATUS status = RegCreateKeyExW(root, wide.subkey, 0, nullptr, 0, KEY_WRITE | KEY_WOW64_64KEY, nullptr,
                                   &key.handle, nullptr);
  if (status == ERROR_SUCCESS) status = RegSetValueExW(key.handle, wide.name, 0, type, data, bytes);
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
  wide_names wide;
  if (widen(subkey, name, &wide) != 0) return -1;
  reg_key key;
  if (open_key(root, wide.subkey, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  wchar_t* text = query_string(key.handle, wide.name);
  if (!text) return -1;
  int result = wide_to_utf8(text, out, size);
  HeapFree(GetProcessHeap(), 0, text);
  return result;
}

int reg_read_product_string(HKEY root, const char* name, char* out, size_t size) {
  return reg_read_string(root, PRODUCT_REG_KEY, name, out, size);
}

int reg_read_dword(HKEY root, const char* subkey, const char* name, uint32_t* out) {
  *out = 0;
  wide_names wide;
  if (widen(subkey, name, &wide) != 0) return -1;
  reg_key key;
  if (open_key(root, wide.subkey, KEY_READ, &key) != ERROR_SUCCESS) return -1;
  DWORD type = 0, value = 0, bytes = sizeof value;
  if (RegQueryValueExW(key.handle, wide.name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || bytes != sizeof value)
    return -1;
  *out = value;
  return 0;
}

int reg_write_string(HKEY root, const char* subkey, const char* name, const char* text) {
  HANDLE heap = GetProcessHeap();
  int chars = MultiByteToWideChar(CP_UTF8, 0, text ? text : "", -1, nullptr, 0);
  if (chars <= 0) return -1;
  auto* wide = static_cast<wchar_t*>(HeapAlloc(heap, 0, sizeof(wchar_t) * chars));
  if (!wide) return -1;
  MultiByteToWideChar(CP_UTF8, 0, text ? text : "", -1, wide, chars);
  int result = write_value(root, subkey, name, REG_SZ, reinterpret_cast<const BYTE*>(wide),
                           static_cast<DWORD>(sizeof(wchar_t) * chars));
  HeapFree(heap, 0, wide);
  return result;
}

int reg_write_dword(HKEY root, const char* subkey, const char* name, uint32_t value) {
  DWORD data = value;
  return write_value(root, subkey, name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
}

void reg_write_once_hklm(const char* name, const char* text) {
  if (!text || !*text) return;
  char existing[8];
  if (reg_read_product_string(HKEY_LOCAL_MACHINE, name, existing, sizeof existing) == 0 && existing[0]) return;
  reg_write_string(HKEY_LOCAL_MACHINE, PRODUCT_REG_KEY, name, text);
}

int reg_delete_value(HKEY root, const char* subkey, const char* name) {
  wide_names wide;
  if (widen(subkey, name, &wide) != 0) return -1;
  reg_key key;
  if (open_key(root, wide.subkey, KEY_SET_VALUE, &key) != ERROR_SUCCESS) return -1;
  RegDeleteValueW(key.handle, wide.name);
  return 0;
}
