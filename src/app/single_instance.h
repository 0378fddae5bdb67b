// One installer (or uninstaller) window per session: a named mutex, and the other instance's
// window brought forward when the lock is taken.
#pragma once

#include "product/exit_codes.h"

// True when this process created the mutex; false when it exists already or cannot be created.
bool single_instance_acquire(const char* mutex_name);
void single_instance_release();
// Restores and foregrounds the host window of the running instance, if any.
void focus_existing_window();

// A silent run that did not get the lock: any user can create the mutex first, and a
// deployment tool must not record that as a success. ERROR_INSTALL_ALREADY_RUNNING is the code
// such tools retry. Logs the refusal (program: "installer" or "uninstaller") and returns
// EXIT_INSTALL_ALREADY_RUNNING.
int refuse_silent_run_without_lock(const char* program);
