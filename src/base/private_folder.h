// The run's private working folder, its pure part: the security descriptor the folder is
// created with and its unpredictable name. The Windows layer is private_folder_win.h.
#pragma once

#include <cstddef>
#include <cstdint>

// The folder's descriptor in SDDL: SYSTEM and Administrators with full control, inherited by
// every file and folder created in it (OI|CI), and protected (P) so that nothing of the
// parent folder's entries applies. An unprivileged process could otherwise plant, replace or
// redirect what an elevated one writes there and later runs or loads.
// user_sid ("S-1-..."), when given, gets the same entry: a process that cannot act as an
// Administrator must still reach its own files. Elevated runs pass null.
// 0, or -1 when user_sid is not a SID string or the text does not fit.
int private_folder_sddl(const char* user_sid, char* out, size_t size);

constexpr size_t PRIVATE_FOLDER_RANDOM_BYTES = 16;

// "Corvane-" and the random bytes as 32 lower-case hexadecimal digits; 0, or -1 when it
// does not fit.
int private_folder_name(const uint8_t random[PRIVATE_FOLDER_RANDOM_BYTES], char* out, size_t size);
