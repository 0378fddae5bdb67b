// Registry access of the product. Every key is opened in the 64-bit view, whatever the
// process's bitness, so the 32-bit product and the installed 64-bit app see the same values.
// Text is UTF-8 here and UTF-16 in the registry.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>

// REG_SZ under root\subkey, truncated to size-1 bytes on a character boundary;
// 0, or -1 with out emptied when the key or value is missing or of another type.
int reg_read_string(HKEY root, const char* subkey, const char* name, char* out, size_t size);

// REG_DWORD; 0, or -1 with *out = 0 when missing or of another type.
int reg_read_dword(HKEY root, const char* subkey, const char* name, uint32_t* out);

// Create the key when needed and write; 0 or -1.
int reg_write_string(HKEY root, const char* subkey, const char* name, const char* text);
int reg_write_dword(HKEY root, const char* subkey, const char* name, uint32_t value);

// Deletes a value; 0 when the key could be opened (whether or not the value existed),
// -1 when the key does not exist or cannot be opened for setting values.
int reg_delete_value(HKEY root, const char* subkey, const char* name);
