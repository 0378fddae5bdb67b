// An open registry key and string reads from it, in a named view. Every reader in the
// program goes through these, so a key is always closed and a value's text always ends.
// Names and text are UTF-8 here and UTF-16 in the registry.
#pragma once

#include <windows.h>

#include <cstddef>

#include "base/handle_win.h"  // registry_key

// The views in the order they are tried.
constexpr REGSAM REG_VIEWS[2] = {KEY_WOW64_64KEY, KEY_WOW64_32KEY};

// RegOpenKeyEx of root\path with access | view; returns the Windows status.
LSTATUS reg_open(HKEY root, const char* path, REGSAM access, REGSAM view, registry_key* out);

// 1 when root\path opens for reading in the view.
int reg_key_exists(HKEY root, const char* path, REGSAM view);

// A string value of an open key (null name: the default value). REG_SZ, and REG_EXPAND_SZ
// left unexpanded when allow_expand is set; 0, or -1 with out emptied for anything else.
int reg_get_text(HKEY key, const char* name, int allow_expand, char* out, size_t size);
