#include <windows.h>

#include "acquire/zip_extract_rules.h"
#include "acquire/zip_extract_run_win.h"
#include "base/bounded_text.h"
#include "base/log.h"
#include "base/wide_win.h"

int zip_fail(zip_run& run, const char* text) {
  text_copy(run.message, run.message_size, text);
  return -1;
}

int zip_current_entry(unzFile zip, char (&name)[ENTRY_NAME_MAX], char (&relative)[ENTRY_NAME_MAX],
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

namespace {

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

int refuse_archive(zip_run& run, const char* reason) {
  log_error("ZIP archive refused: %s", reason);
  return zip_fail(run, "Error extracting from ZIP file");
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

}  // namespace

// Only the end of the list ends the walk; anything else is damage, and so is a list shorter
// than the count it declares.
int zip_survey_archive(zip_run& run, uint64_t declared) {
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
    int kind = zip_current_entry(run.zip, name, relative, &info);
    if (kind == ZIP_ENTRY_REFUSED) {
      log_refused(name, info, run.dest);
      return zip_fail(run, "Error extracting from ZIP file");
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
  if (status != UNZ_END_OF_LIST_OF_FILE || sums.entries != declared) return zip_fail(run, "Error reading ZIP file");
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

