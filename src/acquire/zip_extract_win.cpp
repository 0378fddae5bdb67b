#include <windows.h>

#include <cstdio>

#include "acquire/zip_extract.h"
#include "acquire/zip_extract_rules.h"
#include "base/bounded_text.h"
#include "base/handle_win.h"
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
  const char* wanted;  // null: every entry; else the one file taken (extract_zip_package)
  download_progress_fn progress;
  uint64_t total;  // at most ZIP_MAX_TOTAL_BYTES once the survey has passed
  uint64_t written;
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

// The names of the entries a package ZIP holds besides its MSI, for one log line.
struct left_out {
  char names[400] = "";  // a log line holds no more; the count says how many there were
  unsigned count = 0;
  void add(const char* name) {
    char printable[ENTRY_NAME_MAX];
    zip_entry_name_for_log(name, printable, sizeof printable);
    text_append(names, count++ ? ", \"" : "\"");
    text_append(names, printable);
    text_append(names, "\"");
  }
};

// Reads the central directory once: every entry's name and size, so a hostile archive is
// refused before a single file is written. Only the end of the list ends the walk; anything
// else is damage, and so is a list shorter than the count it declares.
int survey(extraction& run, uint64_t declared) {
  if (const char* reason = zip_archive_refusal(declared, 0, 0, 0)) return refuse_archive(run, reason);
  zip_survey sums;
  left_out skipped;
  unsigned taken = 0;
  uint64_t taken_bytes = 0;  // of the entries written: within sums.total_bytes, so it cannot wrap
  int status = unzGoToFirstFile(run.zip);
  while (status == UNZ_OK) {
    char name[ENTRY_NAME_MAX];
    char relative[ENTRY_NAME_MAX];
    unz_file_info64 info;
    int kind = current_entry(run.zip, name, relative, &info);
    if (kind == ZIP_ENTRY_REFUSED) {
      log_refused(name, info, run.dest);
      return fail(run, "Error extracting from ZIP file");
    }
    if (const char* reason = zip_survey_add(&sums, info.uncompressed_size)) return refuse_archive(run, reason);
    if (zip_entry_wanted(kind, relative, run.wanted)) {
      ++taken;
      taken_bytes += info.uncompressed_size;
    } else if (kind == ZIP_ENTRY_FILE) {
      skipped.add(name);
    }
    status = unzGoToNextFile(run.zip);
  }
  if (status != UNZ_END_OF_LIST_OF_FILE || sums.entries != declared) return fail(run, "Error reading ZIP file");
  uint64_t free_bytes = 0;
  int free_known = free_space(run.dest, &free_bytes);
  if (const char* reason = zip_archive_refusal(sums.entries, sums.total_bytes, free_known, free_bytes))
    return refuse_archive(run, reason);
  if (run.wanted && taken != 1) {
    char printable[ENTRY_NAME_MAX];
    zip_entry_name_for_log(run.wanted, printable, sizeof printable);
    char reason[ENTRY_NAME_MAX + 32];
    text_format(reason, sizeof reason, taken ? "holds %s more than once" : "holds no %s", printable);
    return refuse_archive(run, reason);
  }
  if (skipped.count)
    log_info("Package ZIP: %u entr%s left out: %s", skipped.count, skipped.count == 1 ? "y" : "ies", skipped.names);
  run.total = taken_bytes;
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

// Copies the open entry, counting what is written: never more than the entry's declared size
// (asked for one byte beyond it, a reader that delivers it is caught) nor the survey's total,
// whatever the entry's stream holds; a stream that ends short of its size is damage too.
int copy_entry(extraction& run, HANDLE out, const char* name, uint64_t declared) {
  char buffer[COPY_CHUNK];
  uint64_t copied = 0;
  for (;;) {
    uint64_t left = declared - copied;
    unsigned ask = left < COPY_CHUNK ? static_cast<unsigned>(left) + 1 : COPY_CHUNK;
    int n = unzReadCurrentFile(run.zip, buffer, ask);
    if (n < 0) return fail(run, "Error reading from ZIP file");
    if (static_cast<uint64_t>(n) > left || static_cast<uint64_t>(n) > run.total - run.written) {
      log_error("ZIP entry %s runs past its declared %llu bytes — cut and refused", name,
                static_cast<unsigned long long>(declared));
      return fail(run, "Error reading from ZIP file");
    }
    if (n == 0) {
      if (copied == declared) return 0;
      log_error("ZIP entry %s ends at %llu of its declared %llu bytes", name, static_cast<unsigned long long>(copied),
                static_cast<unsigned long long>(declared));
      return fail(run, "Error reading from ZIP file");
    }
    DWORD wrote = 0;
    if (!WriteFile(out, buffer, static_cast<DWORD>(n), &wrote, nullptr) || wrote != static_cast<DWORD>(n))
      return fail(run, "Error writing output file");
    copied += static_cast<uint64_t>(n);
    report(run, static_cast<uint32_t>(n));
  }
}

// A package's MSI is created as a new file in the fresh folder its caller made, never over a
// name found there; the page bundle's files replace what they find.
HANDLE create_output(const extraction& run, const char* path) {
  wchar_t wide[OUTPUT_PATH_MAX];
  if (utf8_to_wide(path, wide, OUTPUT_PATH_MAX) != 0) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide, GENERIC_WRITE, 0, nullptr, run.wanted ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

int extract_file(extraction& run, const char* raw_name, const char* relative, uint64_t declared) {
  char name[ENTRY_NAME_MAX];
  zip_entry_name_for_log(raw_name, name, sizeof name);
  char path[OUTPUT_PATH_MAX];
  text_format(path, sizeof path, "%s\\%s", run.dest, relative);
  char folder[OUTPUT_PATH_MAX];
  text_copy(folder, path);
  if (char* cut = strrchr(folder, '\\')) *cut = '\0';
  make_directories(folder);
  if (unzOpenCurrentFile(run.zip) != UNZ_OK) return fail(run, "Error extracting from ZIP file");
  open_entry entry{run.zip};
  scoped_handle out(create_output(run, path));
  if (!out.valid()) {
    text_format(run.message, run.message_size, "Error creating file: %.900s", path);
    return -1;
  }
  if (copy_entry(run, out.handle, name, declared) != 0) return -1;
  entry.closed = true;
  // The declared size was kept; a CRC that disagrees means the entry's stream held something else.
  if (unzCloseCurrentFile(run.zip) == UNZ_CRCERROR) {
    log_error("ZIP entry %s: CRC mismatch", name);
    return fail(run, "Error reading from ZIP file");
  }
  return 0;
}

int extract_current(extraction& run) {
  char name[ENTRY_NAME_MAX];
  char relative[ENTRY_NAME_MAX];
  unz_file_info64 info;
  int kind = current_entry(run.zip, name, relative, &info);
  if (kind == ZIP_ENTRY_REFUSED) return fail(run, "Error extracting from ZIP file");
  if (!zip_entry_wanted(kind, relative, run.wanted)) return 0;
  if (kind == ZIP_ENTRY_FILE) return extract_file(run, name, relative, info.uncompressed_size);
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


int unpack(const char* zip_path, const char* dest_dir, const char* wanted, download_progress_fn progress,
           char* message, size_t message_size) {
  extraction run{nullptr, dest_dir ? dest_dir : "", wanted, progress, 0, 0, -1, message, message_size};
  zlib_filefunc64_def functions;
  fill_fopen64_filefunc(&functions);
  functions.zopen64_file = open_utf8_read;
  archive zip;
  zip.zip = zip_path ? unzOpen2_64(zip_path, &functions) : nullptr;
  if (zip.zip) {
    run.zip = zip.zip;
    if (extract_entries(run) != 0) return -1;
  } else if (zip_path && !wanted && is_empty_archive(zip_path)) {
    if (progress) progress(0, nullptr);
  } else {
    return fail(run, "Error opening ZIP file");
  }
  text_copy(message, message_size, "success");
  return 0;
}

}  // namespace

int extract_zip(const char* zip_path, const char* dest_dir, download_progress_fn progress, char* message,
                size_t message_size) {
  return unpack(zip_path, dest_dir, nullptr, progress, message, message_size);
}

int extract_zip_package(const char* zip_path, const char* msi_name, const char* dest_dir,
                        download_progress_fn progress, char* message, size_t message_size) {
  return unpack(zip_path, dest_dir, msi_name ? msi_name : "", progress, message, message_size);
}
