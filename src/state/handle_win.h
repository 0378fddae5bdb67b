// Owns a kernel handle (file, mapping, token) so every path closes it. Both failure values
// of the Win32 API, null and INVALID_HANDLE_VALUE, mean "nothing to close".
#pragma once

#include <windows.h>

struct scoped_handle {
  HANDLE handle = nullptr;
  scoped_handle() = default;
  explicit scoped_handle(HANDLE h) : handle(h) {}
  scoped_handle(const scoped_handle&) = delete;
  scoped_handle& operator=(const scoped_handle&) = delete;
  ~scoped_handle() {
    if (valid()) CloseHandle(handle);
  }
  bool valid() const { return handle != nullptr && handle != INVALID_HANDLE_VALUE; }
};
