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
// this many entries, and this many uncompressed bytes.
constexpr uint64_t ZIP_MAX_ENTRIES = 4096;
constexpr uint64_t ZIP_MAX_TOTAL_BYTES = 1ull << 30;

// The central directory's sizes and count, summed as the survey walks it. Every size is
// checked against what is left under the cap before it is added, so no declared size (a ZIP64
// entry may claim 2^64-1 bytes) can wrap the sum back under the cap.
struct zip_survey {
  uint64_t entries = 0;
  uint64_t total_bytes = 0;
};

// Counts one entry of uncompressed_size bytes; null, or why the archive is refused (then the
// survey is left as it was).
const char* zip_survey_add(zip_survey* survey, uint64_t uncompressed_size);

// Why an archive of entries and total_bytes (as its central directory states them) is refused,
// or null: too many entries, too many bytes, or more than free_bytes when free_known.
const char* zip_archive_refusal(uint64_t entries, uint64_t total_bytes, int free_known, uint64_t free_bytes);

// Whether an entry (kind and relative path from zip_entry_path) is unpacked: every entry when
// wanted is null; otherwise only the file at the archive's root named wanted (without regard
// to ASCII case, as Windows names files).
bool zip_entry_wanted(int kind, const char* relative, const char* wanted);

// The first characters of a folder path that make_directories never creates: "X:\" (3), the
// "\\server\share\" of a UNC path, a single leading "\" (1); 0 for a relative path.
size_t directory_root_length(const char* path);

// Percent of the uncompressed bytes written, 0..100, capped at 100. A total of 0 gives 0.
int zip_progress_percent(uint64_t written, uint64_t total);

// A copy of an entry name that is safe in a log line: bytes outside printable ASCII become "?".
void zip_entry_name_for_log(const char* name, char* out, size_t size);

// True when the bytes at the start of a file of file_size bytes are a whole empty archive: an
// end-of-central-directory record at offset 0 for no entries. minizip cannot open such a file
// (it only looks for that record after offset 0), yet an empty archive unpacks to nothing.
bool zip_is_empty_archive(const unsigned char* head, size_t head_size, uint64_t file_size);
