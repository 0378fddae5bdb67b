// The launch-at-sign-in choice of the finish page: a preference in the desktop user's hive and
// the product's two scheduled tasks pointed at the installed programs.
#pragma once

#include <cstddef>
#include <cstdint>

#include "state/onboarding_root.h"

constexpr size_t LAUNCH_KEY_SIZE = 256;
constexpr size_t TASK_COMMAND_SIZE = 1024;

struct launch_on_logon_keys {
  char run_key[LAUNCH_KEY_SIZE];      // the user's Run key
  char product_key[LAUNCH_KEY_SIZE];  // the product's key, where LaunchMode goes
};

// The keys within the onboarding root's hive: below the console user's SID under HKEY_USERS,
// plain under HKEY_CURRENT_USER. False when they do not fit.
bool launch_on_logon_keys_for(const onboarding_root* root, launch_on_logon_keys* out);

// The schtasks command lines that enable the two tasks and point them at install_dir's
// programs: the app's sign-in check, and the service check (told to launch the app at sign-in
// when enabled). False when cut.
bool ui_task_command(const char* install_dir, char* out, size_t size);
bool service_task_command(const char* install_dir, int enabled, char* out, size_t size);

// The preference, the tasks, and the service started when enabled. Waits up to 15 s for each
// of up to five schtasks runs.
void set_launch_on_logon(const char* install_dir, int enabled);

// The page's set_launch_on_logon, from the UI thread: set_launch_on_logon on a thread of its
// own, so the window stays responsive for the minute it may take. While one runs, another
// request is refused (logged): a page repeating it cannot pile up schtasks runs.
void ui_start_launch_on_logon(const char* install_dir, int enabled);
// Waits up to timeout_ms for a run still going (logged when it is left running) and forgets it.
void ui_launch_on_logon_join(uint32_t timeout_ms);
