// The hand-off from the consent screen to an elevated copy of the program: whether this
// process already has administrator rights, the launch through the UAC prompt (the running
// executable, or the uninstaller's staged copy), and the wait for the copy's screen.
#pragma once

#include <windows.h>

#include <cstddef>

#include "consent/handoff_rules.h"

// The token is an effective member of the built-in Administrators group: under UAC only an
// elevated process is.
bool token_is_admin();

// Starts the running executable elevated with its own arguments, a blank and the switch
// string. Each returns 0 with the child's handle in *process (null when the system gives
// none), or the Windows error: ERROR_CANCELLED (1223) when the person declined the prompt.
// The child's working folder is the system folder, not a folder the user can write.
DWORD elevate_self(const char* switches, HWND owner, HANDLE* process);
// Starts the file at path elevated with the switch string alone; an empty path is
// ERROR_BAD_ARGUMENTS (160).
DWORD elevate_temp_copy(const char* path, const char* switches, HWND owner, HANDLE* process);

// How long temp_copy_ready waits for the staging thread before the caller launches in place.
constexpr DWORD TEMP_COPY_WAIT_MS = 10000;
// The uninstaller's staged copy (held until the hand-off ends: temp_uninstaller_release), made
// now when the staging failed. 0 with its path, or -1: the staging has not finished within
// TEMP_COPY_WAIT_MS, or no copy could be made.
int temp_copy_ready(char* out, size_t size);

// The named event the elevated copy sets once its screen is up (manual reset, not set); null
// when it cannot be made, and the wait then ends on the child's exit or the time-out alone.
HANDLE create_ready_event();

// Waits at most ELEVATED_UI_WAIT_MS for the ready event or the child's exit, dispatching this
// thread's messages meanwhile so its window stays responsive. A WM_QUIT taken from the queue
// meanwhile is posted again once the wait is over.
elevated_ui_wait wait_for_elevated_ui(HANDLE ready_event, HANDLE child);
