#include "base/reg_view_win.h"

#include "base/log.h"
#include "base/wide_win.h"

namespace {

constexpr size_t PATH_CHARS = 1024;
constexpr DWORD DATA_CHARS = 256;  // 511 bytes of data and a terminator

LSTATUS enum_name(HKEY key, DWORD index, reg_name_kind kind, wchar_t* name) {
  DWORD chars = REG_NAME_CHARS;
  return kind == REG_SUBKEY_NAMES ? RegEnumKeyExW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr)
                                  : RegEnumValueW(key, index, name, &chars, nullptr, nullptr, nullptr, nullptr);
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

LSTATUS reg_name_at(HKEY key, DWORD index, reg_name_kind kind, char* out, size_t size) {
  wchar_t name[REG_NAME_CHARS];
  LSTATUS status = enum_name(key, index, kind, name);
  if (status != ERROR_SUCCESS) return status;
  return wide_to_utf8(name, out, size) == 0 ? ERROR_SUCCESS : ERROR_MORE_DATA;
}

heap_block<reg_name_batch> reg_collect(HKEY key, reg_name_kind kind, reg_text_filter text_filter) {
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
    LSTATUS status = filtered ? filtered_value_at(key, index, text_filter, name, &taken) : enum_name(key, index, kind, name);
    if (status == ERROR_MORE_DATA) continue;  // longer than anything the product writes
    if (status != ERROR_SUCCESS) break;
    if (taken) ++batch->count;
  }
  return block;
}

int reg_count_children(HKEY key, DWORD* subkeys, DWORD* values) {
  LSTATUS status =
      RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subkeys, nullptr, nullptr, values, nullptr, nullptr, nullptr, nullptr);
  return status == ERROR_SUCCESS ? 0 : -1;
}

LSTATUS reg_delete_tree_in_view(HKEY root, const char* path, REGSAM view) {
  {
    registry_key key;
    LSTATUS status = reg_open(root, path, KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY | DELETE, view, &key);
    if (status != ERROR_SUCCESS) return status;
    // RegDeleteTree on the handle empties the key; the key itself goes with RegDeleteKeyEx.
    RegDeleteTreeW(key.get(), nullptr);
  }
  wchar_t wide[PATH_CHARS];
  if (utf8_to_wide(path, wide, PATH_CHARS) != 0) return ERROR_INVALID_PARAMETER;
  return RegDeleteKeyExW(root, wide, view, 0);
}
