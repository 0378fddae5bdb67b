// Registry work by path, each in the view the caller names: one-shot reads and writes of a
// value, whether a key exists, tree deletion, and the name batches the removal walks. Every
// call returns the Windows status of reg_key (base/reg_key_win.h), which does the work.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "base/reg_key_win.h"  // reg_key, and heap_block through it

// The value of root\path; opening the key adds its own failures (ERROR_FILE_NOT_FOUND).
LSTATUS reg_read_text(HKEY root, const char* path, REGSAM view, const char* name, char* out, size_t size);
LSTATUS reg_read_dword(HKEY root, const char* path, REGSAM view, const char* name, uint32_t* out);

// Create the key when needed and write.
LSTATUS reg_write_text(HKEY root, const char* path, REGSAM view, const char* name, const char* text);
LSTATUS reg_write_dword(HKEY root, const char* path, REGSAM view, const char* name, uint32_t value);

// The status of opening the key for setting values: a value already gone is no failure, a
// missing key is, and the key is never created.
LSTATUS reg_delete_value(HKEY root, const char* path, REGSAM view, const char* name);

bool reg_key_exists(HKEY root, const char* path, REGSAM view);

// Deletes path with everything under it in one view; reg_delete_key only when it is empty.
LSTATUS reg_delete_tree(HKEY root, const char* path, REGSAM view);
LSTATUS reg_delete_key(HKEY root, const char* path, REGSAM view);

// Up to 64 subkey or value names of a key, collected before anything is deleted: deleting
// while enumerating by index shifts the indexes and skips entries.
constexpr DWORD REG_BATCH_MAX = 64;
struct reg_name_batch {
  DWORD count;
  wchar_t names[REG_BATCH_MAX][REG_NAME_CHARS];
};
// With text_filter, only REG_SZ values (up to 511 bytes) whose text passes it are taken.
// A heap block (too large for a worker thread's stack); empty when out of memory.
typedef int (*reg_text_filter)(const char* text);
heap_block<reg_name_batch> reg_collect(const reg_key& key, reg_name_kind kind, reg_text_filter text_filter);
