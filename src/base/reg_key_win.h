// The one owner of an open registry key. Every key is opened in a view the caller names, and
// every call returns the Windows status, so a missing value (ERROR_FILE_NOT_FOUND), a value
// of another type (ERROR_UNSUPPORTED_TYPE) and a text cut to its buffer (ERROR_MORE_DATA)
// stay apart. Names and text are UTF-8 here and UTF-16 in the registry.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

#include "base/handle_win.h"  // registry_key

// The product and the installed 64-bit app share the 64-bit view, whatever this process's
// bitness; a package may have registered itself in either, tried in this order.
constexpr REGSAM REG_VIEW_64 = KEY_WOW64_64KEY;
constexpr REGSAM REG_VIEWS[2] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

enum reg_name_kind { REG_SUBKEY_NAMES, REG_VALUE_NAMES };
constexpr DWORD REG_NAME_CHARS = 257;  // the longest name walked, and its terminator

class reg_key {
 public:
  // root may be an open key's get(), for a path below it.
  LSTATUS open(HKEY root, const char* path, REGSAM view, REGSAM access = KEY_READ);
  LSTATUS create(HKEY root, const char* path, REGSAM view, REGSAM access = KEY_WRITE);
  HKEY get() const { return key_.get(); }

  // A REG_SZ (null name: the default value), or a REG_EXPAND_SZ left unexpanded when allowed.
  // ERROR_MORE_DATA leaves out holding the text cut on a character boundary; any other
  // failure leaves out empty.
  LSTATUS read_text(const char* name, char* out, size_t size, bool allow_expand = false) const;
  // A REG_DWORD; *out is 0 on failure.
  LSTATUS read_dword(const char* name, uint32_t* out) const;
  LSTATUS write_text(const char* name, const char* text) const;
  LSTATUS write_dword(const char* name, uint32_t value) const;
  LSTATUS delete_value(const char* name) const;

  // The subkey or value name at index: ERROR_NO_MORE_ITEMS at the end, ERROR_MORE_DATA for a
  // name longer than 256 characters, which callers pass over.
  LSTATUS name_at(DWORD index, reg_name_kind kind, char* out, size_t size) const;
  LSTATUS wide_name_at(DWORD index, reg_name_kind kind, wchar_t (&name)[REG_NAME_CHARS]) const;
  LSTATUS count_children(DWORD* subkeys, DWORD* values) const;

 private:
  registry_key key_;
};

// A text value was there, whole or cut: what a caller that keeps display texts cut accepts.
inline bool reg_found_text(LSTATUS status) { return status == ERROR_SUCCESS || status == ERROR_MORE_DATA; }
