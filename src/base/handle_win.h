// Owners of Windows handles, so every path closes what it opened: kernel objects (file,
// mapping, token, process), service-manager handles, registry keys and COM interfaces.
#pragma once

#include <windows.h>

// A kernel handle (file, mapping, token). Both failure values of the Win32 API, null and
// INVALID_HANDLE_VALUE, mean "nothing to close".
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

// A service-manager or service handle.
struct sc_handle {
  SC_HANDLE handle = nullptr;
  explicit sc_handle(SC_HANDLE h) : handle(h) {}
  sc_handle(const sc_handle&) = delete;
  sc_handle& operator=(const sc_handle&) = delete;
  ~sc_handle() {
    if (handle) CloseServiceHandle(handle);
  }
};

// An open registry key.
struct reg_handle {
  HKEY key = nullptr;
  reg_handle() = default;
  reg_handle(const reg_handle&) = delete;
  reg_handle& operator=(const reg_handle&) = delete;
  ~reg_handle() {
    if (key) RegCloseKey(key);
  }
};

// A COM interface pointer, released on every path.
template <typename T>
struct com_ptr {
  T* p = nullptr;
  ~com_ptr() {
    if (p) p->Release();
  }
  T** out() { return &p; }
};
