// Unpacking a ZIP archive into a folder: the product package in its ZIP form and the page
// bundle embedded in the program. Reading the format is minizip's; this is the loop around it.
#pragma once

#include <cstddef>

#include "acquire/download.h"  // download_progress_fn: the same callback reports both steps

constexpr size_t ZIP_MESSAGE_OUT = 512;

// Unpacks every entry of zip_path below dest_dir (UTF-8 paths), creating the folders the
// archive names and replacing files that exist (the page bundle). Progress (may be null) goes by uncompressed
// bytes, with a null context. Returns 0 with "success" in message, or -1 with the failure's
// message ("Error opening ZIP file", "Error reading ZIP file", "Error extracting from ZIP file",
// "Error creating file: <path>", "Error reading from ZIP file", "Error writing output file").
// An archive is refused before anything is written ("Error extracting from ZIP file") when
// an entry would land outside dest_dir or under a name Windows would alias, or when it holds
// more entries or bytes than the caps of zip_extract_rules.h or the volume's free space; a
// central directory that ends before the count it declares is "Error reading ZIP file". No
// entry is written past its declared size: one whose stream runs past it, ends short of it or
// fails its CRC is "Error reading from ZIP file". On other failures the files written so far
// stay; the caller decides what to delete.
int extract_zip(const char* zip_path, const char* dest_dir, download_progress_fn progress, char* message,
                size_t message_size);

// The product package's ZIP, with the same checks and messages: only the file at the archive's
// root named msi_name is written, as a new file in dest_dir (which the caller made fresh and
// empty; a name found there is "Error creating file"). Every other entry is left out and named
// in one log line. An archive without that entry, or with it twice, is refused before anything
// is written ("Error extracting from ZIP file").
int extract_zip_package(const char* zip_path, const char* msi_name, const char* dest_dir,
                        download_progress_fn progress, char* message, size_t message_size);

// Creates every folder along path that does not exist yet ("/" or "\" separators; the drive
// or UNC root is skipped). Failures, mostly folders that already exist, are ignored.
void make_directories(const char* path);
