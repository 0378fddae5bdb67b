// The state of one ZIP extraction, shared by its two passes: the survey of the central
// directory (zip_survey_win.cpp) and the unpacking (zip_extract_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>

#include "acquire/download.h"
#include "unzip.h"

constexpr size_t ENTRY_NAME_MAX = 260;
constexpr size_t OUTPUT_PATH_MAX = 1024;

struct zip_run {
  unzFile zip;
  const char* dest;
  const char* wanted;  // null: every entry; else the one file taken (extract_zip_package)
  download_progress_fn progress;
  uint64_t total;  // at most ZIP_MAX_TOTAL_BYTES once the survey has passed
  uint64_t written;
  int last_percent;
  char* message;
  size_t message_size;
  char made_folder[OUTPUT_PATH_MAX] = "";  // the last folder made for a file: its next files need no call
};

// The failure's message into run's buffer; -1.
int zip_fail(zip_run& run, const char* text);

// The current entry's name, with its path below the destination (zip_entry_path's kind). minizip
// terminates a name only when it is shorter than the buffer, so a longer one is refused, never
// read past or cut.
int zip_current_entry(unzFile zip, char (&name)[ENTRY_NAME_MAX], char (&relative)[ENTRY_NAME_MAX],
                      unz_file_info64* info);

// Reads the central directory once (declared: the entry count it states): every entry's name
// and size, so a hostile archive is refused before a single file is written. 0 with run.total
// set to the bytes that will be written; -1 with run's message.
int zip_survey_archive(zip_run& run, uint64_t declared);
