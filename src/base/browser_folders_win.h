// The folders the WebView2 browser uses: the pages it shows and its user-data folder. The
// browser runs as the session's interactive user even under an elevated host, so these
// cannot live in the run's private folder (Administrators only); what the elevated process
// itself loads (the loader DLL) stays there. The descriptors are run_folders.h's.
//
// Both are made beside the private folder, in the same place (the system's temp folder in an
// elevated run), with fresh random names and protected descriptors, so nothing can be
// planted under their names first; there no one without administrator rights (the interactive
// user included) may rename or delete an entry someone else created, so the pages folder cannot
// be swapped for another one while the window shows it. The user-data folder is there
// too rather than in the person's own temp folder: over-the-shoulder elevation runs this
// process as another account, whose temp folder and profile are not the browser's, while
// this place serves both cases, needs no profile of the person to be loaded and goes with the
// same link-safe deletion at the end.
#pragma once

#include <cstddef>

// Makes both folders once per process for the interactive user (SID text); later calls reuse
// them. Each failure is logged. 0, or -1.
int browser_folders_make(const char* user_sid);

// The folders without a trailing backslash; 0, or -1 (out emptied) when not made.
int browser_pages_folder(char* out, size_t size);
int browser_data_folder(char* out, size_t size);

// End of the run: deletes both with everything in them (link-safe), waiting a few seconds for
// the browser to let go, and forgets them.
void browser_folders_remove();
