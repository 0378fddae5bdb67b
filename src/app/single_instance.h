// One installer (or uninstaller) window per session: a named mutex, and the other instance's
// window brought forward when the lock is taken.
#pragma once

// 1 when this process created the mutex; 0 when it exists already or cannot be created.
int single_instance_acquire(const char* mutex_name);
void single_instance_release();
// Restores and foregrounds the host window of the running instance, if any.
void focus_existing_window();
