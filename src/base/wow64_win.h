// WOW64 file-system redirection: a 32-bit process sees SysWOW64 under the name System32 unless
// it switches redirection off. Only System32 is redirected (Program Files is reached by its
// native name through ProgramW6432 and is not). Redirection is off only around the file calls
// that must see the native System32 (the task store), never across a DLL load, a COM call or a
// process start: with it off, a 32-bit process loads DLLs and COM servers from the 64-bit folder,
// where they fail. Process starts name the native folder by its Sysnative alias instead.
#pragma once

// Switches redirection off for the calling thread; returns the token to revert with, or
// null when there was nothing to switch off (a 64-bit process, or no WOW64).
void* fs_redirection_disable();
void fs_redirection_revert(void* token);

// True while the calling thread is inside an fs_redirection_off scope (in a 64-bit process too,
// where switching it off does nothing).
bool fs_redirection_is_off();

// Redirection off for the lifetime of a scope.
class fs_redirection_off {
 public:
  fs_redirection_off();
  ~fs_redirection_off();
  fs_redirection_off(const fs_redirection_off&) = delete;
  fs_redirection_off& operator=(const fs_redirection_off&) = delete;

 private:
  void* token_;
};
