#include <windows.h>

#include <cstdio>

#include "acquire/zip_extract.h"
#include "acquire/zip_extract_rules.h"
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"
#include "unzip.h"

namespace {

constexpr size_t ENTRY_NAME_MAX = 260;
constexpr size_t OUTPUT_PATH_MAX = 1024;
constexpr unsigned COPY_CHUNK = 8192;

// minizip opens through stdio; the path is UTF-8 (a temp folder under a non-ASCII user
// name), so open it as UTF-16 rather than in the ANSI code page.
voidpf ZCALLBACK open_utf8_read(voidpf, const void* filename, int mode) {
  if (!filename || (mode & ZLIB_FILEFUNC_MODE_READWRITEFILTER) != ZLIB_FILEFUNC_MODE_READ) return nullptr;
  wchar_t wide[OUTPUT_PATH_MAX];
  if (utf8_to_wide(static_cast<const char*>(filename), wide, OUTPUT_PATH_MAX) != 0) return nullptr;
  return _wfopen(wide, L"rb");
}

struct archive {
  unzFile zip = nullptr;
  ~archive() {
    if (zip) unzClose(zip);
  }
};

struct open_entry {
  unzFile zip;
  bool closed = false;
  ~open_entry() {
    if (!closed) unzCloseCurrentFile(zip);
  }
};

struct stdio_file {
  FILE* file = nullptr;
  ~stdio_file() {
    if (file) fclose(file);
  }
};

struct extraction {
  unzFile zip;
  const char* dest;
  download_progress_fn progress;
  uint32_t total;  // below ZIP_MAX_TOTAL_BYTES once the survey has passed
  uint32_t written;
  int last_percent;
  char* message;
  size_t message_size;
};

int fail(extraction& run, const char* text) {
  text_copy(run.message, run.message_size, text);
  return -1;
}

// The current entry's name, with its path below the destination. minizip terminates a name
// only when it is shorter than the buffer, so a longer one is refused, never read past or cut.
int current_entry(unzFile zip, char (&name)[ENTRY_NAME_MAX], char (&relative)[ENTRY_NAME_MAX],
                  unz_file_info64* info) {
  *info = {};
  name[0] = relative[0] = '\0';
  if (unzGetCurrentFileInfo64(zip, info, name, sizeof name, nullptr, 0, nullptr, 0) != UNZ_OK) return ZIP_ENTRY_REFUSED;
  if (info->size_filename >= sizeof name) {
    name[sizeof name - 1] = '\0';
    return ZIP_ENTRY_REFUSED;
  }
  return zip_entry_path(name, relative, sizeof relative);
}

void log_refused(const char* name, const unz_file_info64& info, const char* dest) {
  if (info.size_filename >= ENTRY_NAME_MAX) {
    log_error("ZIP entry name of %lu bytes is longer than a path — archive refused",
              static_cast<unsigned long>(info.size_filename));
    return;
  }
  char printable[ENTRY_NAME_MAX];
  zip_entry_name_for_log(name, printable, sizeof printable);
  log_error("ZIP entry \"%s\" would be written outside %s — archive refused", printable, dest);
}

// Free bytes for this process on the destination's volume; 0 when Windows cannot tell.
int free_space(const char* dest, uint64_t* bytes) {
  wchar_t wide[OUTPUT_PATH_MAX];
  ULARGE_INTEGER available;
  if (utf8_to_wide(dest, wide, OUTPUT_PATH_MAX) != 0 || !GetDiskFreeSpaceExW(wide, &available, nullptr, nullptr))
    return 0;
  *bytes = available.QuadPart;
  return 1;
}

int refuse_archive(extraction& run, const char* reason) {
  log_error("ZIP archive refused: %s", reason);
  return fail(run, "Error extracting from ZIP file");
}

// Reads the central directory once: every entry's name and size, so a hostile archive is
// refused before a single file is written. Only the end of the list ends the walk; anything
// else is damage, and so is a list shorter than the count it declares.
int survey(extraction& run, uint64_t declared) {
  if (const char* reason = zip_archive_refusal(declared, 0, 0, 0)) return refuse_archive(run, reason);
  uint64_t seen = 0, total = 0;
  int status = unzGoToFirstFile(run.zip);
  while (status == UNZ_OK) {
    char name[ENTRY_NAME_MAX];
    char relative[ENTRY_NAME_MAX];
    unz_file_info64 info;
    if (current_entry(run.zip, name, relative, &info) == ZIP_ENTRY_REFUSED) {
      log_refused(name, info, run.dest);
      return fail(run, "Error extracting from ZIP file");
    }
    ++seen;
    total += info.uncompressed_size;
    if (total > ZIP_MAX_TOTAL_BYTES) break;  // refused below; no need to read further
    status = unzGoToNextFile(run.zip);
  }
  if (total <= ZIP_MAX_TOTAL_BYTES && (status != UNZ_END_OF_LIST_OF_FILE || seen != declared))
    return fail(run, "Error reading ZIP file");
  uint64_t free_bytes = 0;
  int free_known = free_space(run.dest, &free_bytes);
  if (const char* reason = zip_archive_refusal(seen, total, free_known, free_bytes)) return refuse_archive(run, reason);
  run.total = static_cast<uint32_t>(total);
  return 0;
}

void report(extraction& run, uint32_t bytes) {
  run.written += bytes;
  if (!run.progress || run.total == 0) return;
  int percent = zip_progress_percent(run.written, run.total);
  if (percent == run.last_percent) return;
  run.last_percent = percent;
  run.progress(percent, nullptr);
}

int copy_entry(extraction& run, FILE* out) {
  char buffer[COPY_CHUNK];
  for (;;) {
    int n = unzReadCurrentFile(run.zip, buffer, COPY_CHUNK);
    if (n < 0) return fail(run, "Error reading from ZIP file");
    if (n == 0) return 0;
    if (fwrite(buffer, 1, static_cast<size_t>(n), out) != static_cast<size_t>(n)) {
      return fail(run, "Error writing output file");
    }
    report(run, static_cast<uint32_t>(n));
  }
}

int extract_file(extraction& run, const char* name, const char* relative) {
  char path[OUTPUT_PATH_MAX];
  text_format(path, sizeof path, "%s\\%s", run.dest, relative);
  char folder[OUTPUT_PATH_MAX];
  text_copy(folder, path);
  if (char* cut = strrchr(folder, '\\')) *cut = '\0';
  make_directories(folder);
  if (unzOpenCurrentFile(run.zip) != UNZ_OK) return fail(run, "Error extracting from ZIP file");
  open_entry entry{run.zip};
  wchar_t wide[OUTPUT_PATH_MAX];
  stdio_file out;
  if (utf8_to_wide(path, wide, OUTPUT_PATH_MAX) == 0) out.file = _wfopen(wide, L"wb");
  if (!out.file) {
    text_format(run.message, run.message_size, "Error creating file: %.900s", path);
    return -1;
  }
  if (copy_entry(run, out.file) != 0) return -1;
  fclose(out.file);
  out.file = nullptr;
  entry.closed = true;
  // The package's own checks (msiexec) judge a damaged file; the log says where it came from.
  if (unzCloseCurrentFile(run.zip) == UNZ_CRCERROR) log_warn("ZIP entry %s: CRC mismatch", name);
  return 0;
}

int extract_current(extraction& run) {
  char name[ENTRY_NAME_MAX];
  char relative[ENTRY_NAME_MAX];
  unz_file_info64 info;
  int kind = current_entry(run.zip, name, relative, &info);
  if (kind == ZIP_ENTRY_REFUSED) return fail(run, "Error extracting from ZIP file");
  if (kind == ZIP_ENTRY_FILE) return extract_file(run, name, relative);
  char folder[OUTPUT_PATH_MAX];
  text_format(folder, sizeof folder, "%s\\%s", run.dest, relative);
  make_directories(folder);
  return 0;
}

// minizip refuses an archive of no entries (see zip_is_empty_archive); it still unpacks to nothing.
bool is_empty_archive(const char* path) {
  wchar_t wide[OUTPUT_PATH_MAX];
  if (utf8_to_wide(path, wide, OUTPUT_PATH_MAX) != 0) return false;
  stdio_file file;
  file.file = _wfopen(wide, L"rb");
  if (!file.file) return false;
  unsigned char start[64];
  size_t got = fread(start, 1, sizeof start, file.file);
  if (fseeko64(file.file, 0, SEEK_END) != 0) return false;
  return zip_is_empty_archive(start, got, static_cast<uint64_t>(ftello64(file.file)));
}

int extract_entries(extraction& run) {
  unz_global_info64 global;
  if (unzGetGlobalInfo64(run.zip, &global) != UNZ_OK) return fail(run, "Error reading ZIP file");
  if (survey(run, global.number_entry) != 0) return -1;
  if (run.progress) run.progress(0, nullptr);
  if (global.number_entry > 0 && unzGoToFirstFile(run.zip) != UNZ_OK) return fail(run, "Error reading ZIP file");
  for (ZPOS64_T number = 1; number <= global.number_entry; ++number) {
    if (extract_current(run) != 0) return -1;
    if (number < global.number_entry && unzGoToNextFile(run.zip) != UNZ_OK) return fail(run, "Error reading ZIP file");
  }
  return 0;
}

}  // namespace

int extract_zip(const char* zip_path, const char* dest_dir, download_progress_fn progress, char* message,
                size_t message_size) {
  extraction run{nullptr, dest_dir ? dest_dir : "", progress, 0, 0, -1, message, message_size};
  zlib_filefunc64_def functions;
  fill_fopen64_filefunc(&functions);
  functions.zopen64_file = open_utf8_read;
  archive zip;
  zip.zip = zip_path ? unzOpen2_64(zip_path, &functions) : nullptr;
  if (zip.zip) {
    run.zip = zip.zip;
    if (extract_entries(run) != 0) return -1;
  } else if (zip_path && is_empty_archive(zip_path)) {
    if (progress) progress(0, nullptr);
  } else {
    return fail(run, "Error opening ZIP file");
  }
  text_copy(message, message_size, "success");
  return 0;
}
