// Registry access across both views for the probe and the removal: the product may have
// been registered by a 64-bit or a 32-bit package, so keys are looked for in the 64-bit
// view and then in the 32-bit one. Names and text are UTF-8 here.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/handle_win.h"
#include "base/reg_key_win.h"

enum reg_name_kind { REG_SUBKEY_NAMES, REG_VALUE_NAMES };

// The name of the subkey or value at index, as UTF-8; 0, or the Windows status
// (ERROR_NO_MORE_ITEMS at the end, ERROR_MORE_DATA for a name longer than 256
// characters, which callers pass over).
LSTATUS reg_name_at(HKEY key, DWORD index, reg_name_kind kind, char* out, size_t size);

// Up to 64 subkey or value names of a key, collected before anything is deleted: deleting
// while enumerating by index shifts the indexes and skips entries.
constexpr DWORD REG_BATCH_MAX = 64;
constexpr DWORD REG_NAME_CHARS = 257;
struct reg_name_batch {
  DWORD count;
  wchar_t names[REG_BATCH_MAX][REG_NAME_CHARS];
};
// With text_filter, only REG_SZ values (up to 511 bytes) whose text passes it are taken.
// A heap block (too large for a worker thread's stack); empty when out of memory.
typedef int (*reg_text_filter)(const char* text);
heap_block<reg_name_batch> reg_collect(HKEY key, reg_name_kind kind, reg_text_filter text_filter);

// Number of subkeys and values; -1 when the key cannot be queried.
int reg_count_children(HKEY key, DWORD* subkeys, DWORD* values);

// Deletes path with everything under it in one view; the Windows status.
LSTATUS reg_delete_tree_in_view(HKEY root, const char* path, REGSAM view);
