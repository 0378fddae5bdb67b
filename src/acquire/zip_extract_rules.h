// The decisions of the ZIP extraction, kept apart from the file work so they can be tested and
// fuzzed anywhere: where an entry may land, which folders to create, the progress percent.
// Archive names are outside input (a download, the page bundle), so no name may lead out of
// the destination folder.
#pragma once

#include <cstddef>
#include <cstdint>

enum zip_entry_kind { ZIP_ENTRY_REFUSED = -1, ZIP_ENTRY_FILE = 0, ZIP_ENTRY_FOLDER = 1 };

// Turns an entry name into its path below the destination: "/" becomes "\", a drive prefix
// ("X:\") and then leading backslashes are dropped. Returns ZIP_ENTRY_FOLDER for a non-empty
// name ending in "\", ZIP_ENTRY_FILE otherwise, and ZIP_ENTRY_REFUSED (out emptied) when the
// path would leave the destination or write another file than it names: a ".." component (or
// one Windows would read as "..", made of dots and spaces only), a ":" left after the drive
// prefix (another drive, a drive-relative path, an alternate data stream), a component ending
// in a dot or a space (Windows drops them), a device name in any component (CON, PRN, AUX, NUL,
// COM0-9, LPT0-9, CONIN$, CONOUT$, with or without an extension), or a path that does not fit.
int zip_entry_path(const char* name, char* out, size_t size);

// What a hostile archive could do to the disk is bounded before anything is written: at most
// this many entries, and this many uncompressed bytes (also under 4 GiB, so the 32-bit progress
// total never wraps).
constexpr uint64_t ZIP_MAX_ENTRIES = 4096;
constexpr uint64_t ZIP_MAX_TOTAL_BYTES = 1ull << 30;

// Why an archive of entries and total_bytes (as its central directory states them) is refused,
// or null: too many entries, too many bytes, or more than free_bytes when free_known.
const char* zip_archive_refusal(uint64_t entries, uint64_t total_bytes, int free_known, uint64_t free_bytes);

// The first characters of a folder path that make_directories never creates: "X:\" (3), the
// "\\server\share\" of a UNC path, a single leading "\" (1); 0 for a relative path.
size_t directory_root_length(const char* path);

// Percent of the uncompressed bytes written, 0..100 (computed in 64 bits, capped at 100 because
// a 32-bit total wraps on archives above 4 GiB). A total of 0 gives 0.
int zip_progress_percent(uint32_t written, uint32_t total);

// A copy of an entry name that is safe in a log line: bytes outside printable ASCII become "?".
void zip_entry_name_for_log(const char* name, char* out, size_t size);

// True when the bytes at the start of a file of file_size bytes are a whole empty archive: an
// end-of-central-directory record at offset 0 for no entries. minizip cannot open such a file
// (it only looks for that record after offset 0), yet an empty archive unpacks to nothing.
bool zip_is_empty_archive(const unsigned char* head, size_t head_size, uint64_t file_size);
