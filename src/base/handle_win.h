// Owners of what Windows hands out, so every path closes what it opened: one template whose
// traits name the value, tell an empty one apart and close it.
#pragma once

#include <windows.h>

// Move-only. receive() is for out-parameters: it closes what is held and returns the slot.
template <typename Traits>
class owned {
 public:
  using value_type = typename Traits::value_type;
  owned() = default;
  explicit owned(value_type value) : value_(value) {}
  owned(owned&& other) noexcept : value_(other.release()) {}
  owned& operator=(owned&& other) noexcept {
    reset(other.release());
    return *this;
  }
  owned(const owned&) = delete;
  owned& operator=(const owned&) = delete;
  ~owned() { reset(); }

  value_type get() const { return value_; }
  value_type operator->() const { return value_; }  // for pointer owners
  bool valid() const { return !Traits::is_empty(value_); }
  explicit operator bool() const { return valid(); }
  void reset(value_type value = Traits::empty()) {
    value_type old = value_;
    value_ = value;
    if (!Traits::is_empty(old)) Traits::close(old);
  }
  value_type release() {
    value_type value = value_;
    value_ = Traits::empty();
    return value;
  }
  value_type* receive() {
    reset();
    return &value_;
  }

 protected:
  value_type value_ = Traits::empty();
};

// Traits for a value that is empty when null and closed by one call.
template <typename V, auto Close>
struct closed_by {
  using value_type = V;
  static V empty() { return nullptr; }
  static bool is_empty(V value) { return value == nullptr; }
  static void close(V value) { Close(value); }
};
// Both failure values of the Win32 API, null and INVALID_HANDLE_VALUE, mean "nothing to close".
struct kernel_handle_traits : closed_by<HANDLE, CloseHandle> {
  static bool is_empty(HANDLE h) { return h == nullptr || h == INVALID_HANDLE_VALUE; }
};
// The process heap rather than malloc, so a block handed to another thread (a posted window
// message) is freed there the same way.
inline void heap_free(void* block) { HeapFree(GetProcessHeap(), 0, block); }
template <typename T>
inline void com_release(T* object) {
  object->Release();
}

using kernel_handle = owned<kernel_handle_traits>;
using service_handle = owned<closed_by<SC_HANDLE, CloseServiceHandle>>;
using registry_key = owned<closed_by<HKEY, RegCloseKey>>;
template <typename T>
using heap_block = owned<closed_by<T*, heap_free>>;
template <typename T>
using local_block = owned<closed_by<T*, LocalFree>>;
template <typename T>
using com_ptr = owned<closed_by<T*, com_release<T>>>;

// count elements of T on the process heap; empty when it cannot be allocated.
template <typename T>
heap_block<T> heap_allocate(size_t count, DWORD flags = 0) {
  return heap_block<T>(static_cast<T*>(HeapAlloc(GetProcessHeap(), flags, count * sizeof(T))));
}

// A started process: both handles closed on every path.
class owned_process {
 public:
  owned_process() = default;
  owned_process(const owned_process&) = delete;
  owned_process& operator=(const owned_process&) = delete;
  ~owned_process() { reset(); }
  const PROCESS_INFORMATION& get() const { return info_; }
  HANDLE process() const { return info_.hProcess; }
  PROCESS_INFORMATION* receive() {
    reset();
    return &info_;
  }
  void reset() {
    kernel_handle thread(info_.hThread), process(info_.hProcess);
    info_ = {};
  }

 private:
  PROCESS_INFORMATION info_ = {};
};

