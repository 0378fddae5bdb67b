// The folder the WebView2 browser writes: its user-data folder (the pages come from the host's
// memory). The browser runs as the session's interactive user even under an elevated host, so
// it cannot live in the run's private folder (Administrators only); what the elevated process
// itself loads (the loader DLL) stays there. The descriptors are run_folders.h's.
//
// It is made beside the private folder, in the same place (the system's temp folder in an
// elevated run), with a fresh random name and a protected descriptor, so nothing can be
// planted under its name first. It is there rather than in the person's own temp folder:
// over-the-shoulder elevation runs this process as another account, whose temp folder and
// profile are not the browser's, while this place serves both cases, needs no profile of the
// person to be loaded and goes with the same link-safe deletion at the end.
#pragma once

#include <cstddef>

// Makes the folder once per process for the interactive user (SID text); later calls reuse
// it. A failure is logged. 0, or -1.
int browser_folders_make(const char* user_sid);

// The folder without a trailing backslash; 0, or -1 (out emptied) when not made.
int browser_data_folder(char* out, size_t size);

// End of the run: deletes it with everything in it (link-safe), waiting a few seconds for
// the browser to let go, and forgets it.
void browser_folders_remove();
