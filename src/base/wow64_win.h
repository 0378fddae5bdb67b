// WOW64 file-system redirection: a 32-bit process sees the 32-bit system folders under the
// 64-bit names unless it switches redirection off around work in the native folders.
#pragma once

// Switches redirection off for the calling thread; returns the token to revert with, or
// null when there was nothing to switch off (a 64-bit process, or no WOW64).
void* fs_redirection_disable();
void fs_redirection_revert(void* token);

// Redirection off for the lifetime of a scope.
class fs_redirection_off {
 public:
  fs_redirection_off() : token_(fs_redirection_disable()) {}
  ~fs_redirection_off() { fs_redirection_revert(token_); }
  fs_redirection_off(const fs_redirection_off&) = delete;
  fs_redirection_off& operator=(const fs_redirection_off&) = delete;

 private:
  void* token_;
};
