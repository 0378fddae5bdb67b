#include <windows.h>

#include <cstdio>

#include "acquire/zip_extract.h"
#include "acquire/zip_extract_rules.h"
#include "acquire/zip_extract_run_win.h"
#include "base/bounded_text.h"
#include "base/handle_win.h"
#include "base/log.h"
#include "base/wide_win.h"

namespace {

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

void report(zip_run& run, uint32_t bytes) {
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
int copy_entry(zip_run& run, HANDLE out, const char* name, uint64_t declared) {
  char buffer[COPY_CHUNK];
  uint64_t copied = 0;
  for (;;) {
    uint64_t left = declared - copied;
    unsigned ask = left < COPY_CHUNK ? static_cast<unsigned>(left) + 1 : COPY_CHUNK;
    int n = unzReadCurrentFile(run.zip, buffer, ask);
    if (n < 0) return zip_fail(run, "Error reading from ZIP file");
    if (static_cast<uint64_t>(n) > left || static_cast<uint64_t>(n) > run.total - run.written) {
      log_error("ZIP entry %s runs past its declared %llu bytes — cut and refused", name,
                static_cast<unsigned long long>(declared));
      return zip_fail(run, "Error reading from ZIP file");
    }
    if (n == 0) {
      if (copied == declared) return 0;
      log_error("ZIP entry %s ends at %llu of its declared %llu bytes", name, static_cast<unsigned long long>(copied),
                static_cast<unsigned long long>(declared));
      return zip_fail(run, "Error reading from ZIP file");
    }
    DWORD wrote = 0;
    if (!WriteFile(out, buffer, static_cast<DWORD>(n), &wrote, nullptr) || wrote != static_cast<DWORD>(n))
      return zip_fail(run, "Error writing output file");
    copied += static_cast<uint64_t>(n);
    report(run, static_cast<uint32_t>(n));
  }
}

// A package's MSI is created as a new file in the fresh folder its caller made, never over a
// name found there; the page bundle's files replace what they find.
HANDLE create_output(const zip_run& run, const char* path) {
  wchar_t wide[OUTPUT_PATH_MAX];
  if (utf8_to_wide(path, wide, OUTPUT_PATH_MAX) != 0) return INVALID_HANDLE_VALUE;
  return CreateFileW(wide, GENERIC_WRITE, 0, nullptr, run.wanted ? CREATE_NEW : CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                     nullptr);
}

int extract_file(zip_run& run, const char* raw_name, const char* relative, uint64_t declared) {
  char name[ENTRY_NAME_MAX];
  zip_entry_name_for_log(raw_name, name, sizeof name);
  char path[OUTPUT_PATH_MAX];
  text_format(path, sizeof path, "%s\\%s", run.dest, relative);
  char folder[OUTPUT_PATH_MAX];
  text_copy(folder, path);
  if (char* cut = strrchr(folder, '\\')) *cut = '\0';
  if (strcmp(folder, run.made_folder) != 0) {
    make_directories(folder);
    text_copy(run.made_folder, folder);
  }
  if (unzOpenCurrentFile(run.zip) != UNZ_OK) return zip_fail(run, "Error extracting from ZIP file");
  open_entry entry{run.zip};
  kernel_handle out(create_output(run, path));
  if (!out.valid()) {
    text_format(run.message, run.message_size, "Error creating file: %.900s", path);
    return -1;
  }
  if (copy_entry(run, out.get(), name, declared) != 0) return -1;
  entry.closed = true;
  // The declared size was kept; a CRC that disagrees means the entry's stream held something else.
  if (unzCloseCurrentFile(run.zip) == UNZ_CRCERROR) {
    log_error("ZIP entry %s: CRC mismatch", name);
    return zip_fail(run, "Error reading from ZIP file");
  }
  return 0;
}

int extract_current(zip_run& run) {
  char name[ENTRY_NAME_MAX];
  char relative[ENTRY_NAME_MAX];
  unz_file_info64 info;
  int kind = zip_current_entry(run.zip, name, relative, &info);
  if (kind == ZIP_ENTRY_REFUSED) return zip_fail(run, "Error extracting from ZIP file");
  if (!zip_entry_wanted(kind, relative, run.wanted)) return 0;
  if (kind == ZIP_ENTRY_FILE) return extract_file(run, name, relative, info.uncompressed_size);
  char folder[OUTPUT_PATH_MAX];
  text_format(folder, sizeof folder, "%s\\%s", run.dest, relative);
  make_directories(folder);
  return 0;
}

// minizip refuses an archive of no entries (see zip_is_empty_archive); it still unpacks to nothing.
bool is_empty_archive_file(const void* name) {
  wchar_t wide[OUTPUT_PATH_MAX];
  if (utf8_to_wide(static_cast<const char*>(name), wide, OUTPUT_PATH_MAX) != 0) return false;
  stdio_file file;
  file.file = _wfopen(wide, L"rb");
  if (!file.file) return false;
  unsigned char start[64];
  size_t got = fread(start, 1, sizeof start, file.file);
  if (fseeko64(file.file, 0, SEEK_END) != 0) return false;
  return zip_is_empty_archive(start, got, static_cast<uint64_t>(ftello64(file.file)));
}

// The archive file and how minizip opens it.
struct zip_source {
  const void* name;  // what the open function is given
  zlib_filefunc64_def functions;
  bool (*is_empty)(const void* name);
};

zip_source file_source(const char* zip_path) {
  zip_source source{zip_path, {}, is_empty_archive_file};
  fill_fopen64_filefunc(&source.functions);
  source.functions.zopen64_file = open_utf8_read;
  return source;
}

int extract_entries(zip_run& run) {
  unz_global_info64 global;
  if (unzGetGlobalInfo64(run.zip, &global) != UNZ_OK) return zip_fail(run, "Error reading ZIP file");
  if (zip_survey_archive(run, global.number_entry) != 0) return -1;
  if (run.progress) run.progress(0, nullptr);
  if (global.number_entry > 0 && unzGoToFirstFile(run.zip) != UNZ_OK) return zip_fail(run, "Error reading ZIP file");
  for (ZPOS64_T number = 1; number <= global.number_entry; ++number) {
    if (extract_current(run) != 0) return -1;
    if (number < global.number_entry && unzGoToNextFile(run.zip) != UNZ_OK) return zip_fail(run, "Error reading ZIP file");
  }
  return 0;
}


int unpack(zip_source source, const char* dest_dir, const char* wanted, download_progress_fn progress,
           char* message, size_t message_size) {
  zip_run run{nullptr, dest_dir ? dest_dir : "", wanted, progress, 0, 0, -1, message, message_size};
  archive zip;
  zip.zip = source.name ? unzOpen2_64(source.name, &source.functions) : nullptr;
  if (zip.zip) {
    run.zip = zip.zip;
    if (extract_entries(run) != 0) return -1;
  } else if (source.name && !wanted && source.is_empty(source.name)) {
    if (progress) progress(0, nullptr);
  } else {
    return zip_fail(run, "Error opening ZIP file");
  }
  text_copy(message, message_size, "success");
  return 0;
}

}  // namespace

int extract_zip(const char* zip_path, const char* dest_dir, download_progress_fn progress, char* message,
                size_t message_size) {
  return unpack(file_source(zip_path), dest_dir, nullptr, progress, message, message_size);
}

int extract_zip_package(const char* zip_path, const char* msi_name, const char* dest_dir,
                        download_progress_fn progress, char* message, size_t message_size) {
  return unpack(file_source(zip_path), dest_dir, msi_name ? msi_name : "", progress, message, message_size);
}
