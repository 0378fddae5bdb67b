// Walking the running processes by executable name: the launch after an install asks
// whether the app is already up, closing the product ends every copy of it.
#pragma once

#include <windows.h>

// What a walk found; no_snapshot when the running processes could not be listed.
enum class process_walk { no_snapshot, none_running, all_succeeded, all_failed, mixed };

// True when the callback did what it was asked for that process.
typedef bool (*process_callback_fn)(DWORD process_id, void* context);

// Calls callback(pid, context) for every running process whose executable name equals
// exe_name (no path, compared without regard to case), and sums up what the callbacks said.
process_walk for_each_process_named(const wchar_t* exe_name, process_callback_fn callback, void* context);
