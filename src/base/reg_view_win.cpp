#include "base/reg_view_win.h"

#include "base/log.h"
#include "base/wide_win.h"

namespace {

constexpr size_t PATH_CHARS = 1024;
constexpr DWORD DATA_CHARS = 256;  // 511 bytes of data and a terminator

template <typename Write>
LSTATUS write_value(HKEY root, const char* path, REGSAM view, const char* name, Write write) {
  reg_key key;
  LSTATUS status = key.create(root, path, view);
  if (status == ERROR_SUCCESS) status = write(key);
  // Callers decide what a failed write means; a non-elevated run expects HKLM refusals.
  if (status != ERROR_SUCCESS)
    log_debug("registry: writing %s\\%s failed (err=%ld)", path, name, static_cast<long>(status));
  return status;
}

// The value at index, taken when it is a REG_SZ whose text passes the filter.
LSTATUS filtered_value_at(HKEY key, DWORD index, reg_text_filter filter, wchar_t* name, int* taken) {
  wchar_t data[DATA_CHARS + 1] = {};
  DWORD chars = REG_NAME_CHARS, type = 0, bytes = DATA_CHARS * sizeof(wchar_t);
  LSTATUS status = RegEnumValueW(key, index, name, &chars, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes);
  *taken = 0;
  if (status != ERROR_SUCCESS) return status;
  data[bytes / sizeof(wchar_t)] = L'\0';
  char text[DATA_CHARS * 3 + 1];
  *taken = type == REG_SZ && wide_to_utf8(data, text, sizeof text) == 0 && filter(text);
  return ERROR_SUCCESS;
}

}  // namespace

LSTATUS reg_read_text(HKEY root, const char* path, REGSAM view, const char* name, char* out, size_t size) {
  if (out && size) out[0] = '\0';
  reg_key key;
  LSTATUS status = key.open(root, path, view);
  return status == ERROR_SUCCESS ? key.read_text(name, out, size) : status;
}

LSTATUS reg_read_dword(HKEY root, const char* path, REGSAM view, const char* name, uint32_t* out) {
  *out = 0;
  reg_key key;
  LSTATUS status = key.open(root, path, view);
  return status == ERROR_SUCCESS ? key.read_dword(name, out) : status;
}

LSTATUS reg_write_text(HKEY root, const char* path, REGSAM view, const char* name, const char* text) {
  return write_value(root, path, view, name, [&](const reg_key& key) { return key.write_text(name, text); });
}

LSTATUS reg_write_dword(HKEY root, const char* path, REGSAM view, const char* name, uint32_t value) {
  return write_value(root, path, view, name, [&](const reg_key& key) { return key.write_dword(name, value); });
}

LSTATUS reg_delete_value(HKEY root, const char* path, REGSAM view, const char* name) {
  reg_key key;
  LSTATUS status = key.open(root, path, view, KEY_SET_VALUE);
  if (status == ERROR_SUCCESS) key.delete_value(name);
  return status;
}

bool reg_key_exists(HKEY root, const char* path, REGSAM view) {
  reg_key key;
  return key.open(root, path, view) == ERROR_SUCCESS;
}

LSTATUS reg_delete_tree(HKEY root, const char* path, REGSAM view) {
  {
    reg_key key;
    LSTATUS status = key.open(root, path, view, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE);
    if (status != ERROR_SUCCESS) return status;
    // RegDeleteTree on the handle empties the key; the key itself goes with RegDeleteKeyEx.
    RegDeleteTreeW(key.get(), nullptr);
  }
  return reg_delete_key(root, path, view);
}

LSTATUS reg_delete_key(HKEY root, const char* path, REGSAM view) {
  wchar_t wide[PATH_CHARS];
  if (utf8_to_wide(path, wide, PATH_CHARS) != 0) return ERROR_INVALID_PARAMETER;
  return RegDeleteKeyExW(root, wide, view, 0);
}

heap_block<reg_name_batch> reg_collect(const reg_key& key, reg_name_kind kind, reg_text_filter text_filter) {
  heap_block<reg_name_batch> block = heap_allocate<reg_name_batch>(1);
  reg_name_batch* batch = block.get();
  if (!batch) {
    log_warn("Registry cleanup skipped a key: out of memory");
    return block;
  }
  batch->count = 0;
  int filtered = text_filter && kind == REG_VALUE_NAMES;
  for (DWORD index = 0; batch->count < REG_BATCH_MAX; ++index) {
    int taken = 1;
    wchar_t* name = batch->names[batch->count];
    LSTATUS status = filtered ? filtered_value_at(key.get(), index, text_filter, name, &taken)
                              : key.wide_name_at(index, kind, batch->names[batch->count]);
    if (status == ERROR_MORE_DATA) continue;  // longer than anything the product writes
    if (status != ERROR_SUCCESS) break;
    if (taken) ++batch->count;
  }
  return block;
}
