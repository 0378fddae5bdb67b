// Walking the running processes by executable name: the launch after an install asks
// whether the app is already up, closing the product ends every copy of it.
#pragma once

#include <windows.h>

// Outcome of a walk, written to the caller's variable.
enum process_walk_outcome {
  PROCESS_WALK_NONE_RUNNING = 0,
  PROCESS_WALK_ALL_SUCCEEDED = 1,
  PROCESS_WALK_ALL_FAILED = 2,
  PROCESS_WALK_MIXED = 3,
};

// Returned when no process snapshot could be taken; the outcome is then left untouched.
constexpr int PROCESS_WALK_NO_SNAPSHOT = 611;

// Non-zero when the callback did what it was asked for that process.
typedef int (*process_callback_fn)(DWORD process_id, void* context);

// Calls callback(pid, context) for every running process whose executable name equals
// exe_name (no path, compared without regard to case). Returns 0 after a completed walk
// with *outcome set, or PROCESS_WALK_NO_SNAPSHOT.
int for_each_process_named(const wchar_t* exe_name, process_callback_fn callback, void* context, int* outcome);
