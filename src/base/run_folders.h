// The two kinds of folders of a run with a screen, told apart by who uses them, and the
// descriptor each is created with (pure; the Windows layer is private_folder_win.h and
// browser_folders_win.h).
//
// The WebView2 runtime never runs its browser elevated: under an elevated host its processes
// run as the session's interactive user at medium integrity, where Administrators is a
// deny-only group. So what the browser reads or writes cannot sit in a folder only
// Administrators enter, and what the elevated process itself loads or runs must not sit where
// that user could write.
#pragma once

#include <cstddef>

enum class run_folder {
  // What the elevated process loads or runs (the loader DLL, the package, the MSI, staged
  // copies): SYSTEM and Administrators only.
  run_private,
  // The browser's user-data folder: the interactive user may modify it. The elevated process
  // never reads anything back from it.
  browser_data,
};

// Protected DACL in SDDL, every entry inherited by files and folders below; SYSTEM and
// Administrators always have full control. user_sid ("S-1-..."):
// - run_private: given only when this process cannot act as an Administrator (an unelevated
//   run still has to reach its own files): it then gets full control too; null otherwise.
// - browser_data: the interactive user, required.
// 0, or -1 (out emptied) when user_sid is missing where required, not a SID string, or the
// text does not fit.
int run_folder_sddl(run_folder kind, const char* user_sid, char* out, size_t size);
